// Resource ids of the artwork: the icon and the pictures that the art
// generator (tools/artgen) draws into the generated art.rc and the code
// loads. res/resource.h includes this header. An id with an index in its
// comment starts a run of consecutive pictures.
#pragma once

// The program's icon (16 and 32 pixels).
#define IDI_CORVELLE 128

// Cards and pile bases (field/card_painter). Ranks 0 (Ace) .. 12 (King);
// suits and colours as the field numbers them.
#define IDB_PLAIN_BASE 129
#define IDB_CARD_BACK 130
#define IDB_PICTURED_BASE 131   // + value (0 black ring, 1 red cross)
#define IDB_CARD_FACE 133       // + rank * 4 + suit
#define IDB_RANK_GLYPH 185      // + rank * 2 + colour (0 black, 1 red)
#define IDB_SUIT_PIP 211        // + suit
#define IDB_BLANK_FACE 215
#define IDB_MARK_PICTURE 216    // + rank * 4 + suit
#define IDB_MARK_RANK 268       // + rank
#define IDB_MARK_SUIT 281       // + suit
#define IDB_MARKED_BASE 298

// The command bar's pictures, 32 and 22 pixels square.
#define IDB_CMD_HINT_BIG 285
#define IDB_CMD_UNDO_BIG 286
#define IDB_CMD_NEW_BIG 287
#define IDB_CMD_RESTART_BIG 288
#define IDB_CMD_SELECT_BIG 289
#define IDB_CMD_OPTIONS_BIG 290
#define IDB_CMD_HINT_SMALL 291
#define IDB_CMD_UNDO_SMALL 292
#define IDB_CMD_NEW_SMALL 293
#define IDB_CMD_RESTART_SMALL 294
#define IDB_CMD_SELECT_SMALL 295
#define IDB_CMD_OPTIONS_SMALL 296

// The field's background picture (890 x 700; centred, tiled or stretched).
#define IDB_FIELD_PICTURE 299

// The selection's list and filter icons.
#define IDB_CATEGORY 300        // + category - 1 (categories 1..10)
#define IDB_DIFFICULTY 310      // + difficulty - 1 (difficulties 1..3)
#define IDB_TIME_CLASS 313      // + time class - 1 (time classes 1..4)
#define IDB_FILTER_ALL 317
#define IDB_FAVOURITE 318

// The about box's banner.
#define IDB_ABOUT 319

// The side panel's region header arrows and the picture shown in place of
// the advertisement page.
#define IDB_REGION_OPEN 321
#define IDB_REGION_CLOSED 322
#define IDB_ADVERT_FALLBACK 324
