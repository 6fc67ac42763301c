// Packing game records into the database resources: the SOLDB group streams
// and the per-game tables, and writing them out for the resource compiler.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace corvelle {

struct ResourceBlob {
    std::string type;        // "SOLDB", "SOLID", ...
    uint16_t id = 0;
    std::vector<uint8_t> bytes;
};

// Records in database position order (each a valid GameRecord) and the
// related-games text ("id,id" lines joined by CR LF). Fills `out` with every
// database resource. False, with a reason, when the input cannot be packed
// (too many games, a record too long for SOLSIZE, duplicate or out-of-range
// ids, an invalid record).
bool PackDatabase(const std::vector<std::vector<uint8_t>>& records, const std::string& relatedText,
                  std::vector<ResourceBlob>& out, std::string& error);

// Writes each blob as TYPE_ID.bin into `folder`, and `rcFile` (a resource
// script fragment, UTF-8) that includes them and lists the game names as
// string-table entries 4000 + position.
bool WriteResourceFolder(const std::vector<ResourceBlob>& blobs, const std::vector<std::string>& names,
                         const std::string& folder, const std::string& rcFile, std::string& error);

// Name stored in a record (the 0-terminated text after the header).
std::string RecordName(const std::vector<uint8_t>& record);

}  // namespace corvelle
