// corvelle-gamec: compiles the game library into the database resources.
//
//   corvelle-gamec GAMES_FOLDER OUT_FOLDER RC_FILE
//
// writes OUT_FOLDER/TYPE_ID.bin for every database resource, RC_FILE (the
// resource script fragment) and OUT_FOLDER/library.txt (pile names and check
// settings, one line per database position). Errors go to standard error as
// FILE:LINE: MESSAGE; the exit status is 1 when there is any.
#include <cstdio>
#include <fstream>

#include "writer/database_packer.h"
#include "tools/gamec/gamec.h"

using namespace corvelle;

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: corvelle-gamec GAMES_FOLDER OUT_FOLDER RC_FILE\n");
        return 2;
    }
    gamec::Library lib;
    std::vector<gamec::Diagnostic> diags;
    bool ok = gamec::CompileLibrary(argv[1], lib, diags);
    for (const auto& d : diags) std::fprintf(stderr, "%s\n", d.ToString().c_str());
    if (!ok) return 1;
    std::vector<std::vector<uint8_t>> records;
    std::vector<std::string> names;
    for (const auto& g : lib.games) {
        records.push_back(SerializeGameRecord(g.def));
        names.push_back(g.def.name);
    }
    std::vector<ResourceBlob> blobs;
    std::string error;
    if (!PackDatabase(records, lib.relatedText, blobs, error) ||
        !WriteResourceFolder(blobs, names, argv[2], argv[3], error)) {
        std::fprintf(stderr, "corvelle-gamec: %s\n", error.c_str());
        return 1;
    }
    std::ofstream index(std::string(argv[2]) + "/library.txt", std::ios::binary);
    index << gamec::LibraryIndexText(lib);
    index.close();   // a failed final flush shows only here
    if (!index) {
        std::fprintf(stderr, "corvelle-gamec: cannot write library.txt\n");
        return 1;
    }
    return 0;
}
