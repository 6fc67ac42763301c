// corvelle-artgen: draws every picture of the program and writes them as
// 24-bit BMP files (and the window icon) with a resource-script fragment
// that names them by id.
//
//   corvelle-artgen <output folder> [font folder]
//
// The font folder defaults to the one found when the tool was built.
#include <cstdio>
#include <fstream>
#include <map>
#include <string>

#include "art.h"

namespace {

class FileSink : public art::ArtSink {
public:
    explicit FileSink(std::string folder) : dir(std::move(folder)) {}

    void Bitmap(int id, const std::string& name, const art::Image& image) override {
        if (!art::WriteBmp(dir + "/" + name, image)) Fail(name);
        Add(id, "BITMAP", name);
    }
    void Icon(int id, const std::string& name, const art::Canvas& small, const art::Canvas& big) override {
        if (!art::WriteIco(dir + "/" + name, {&small, &big})) Fail(name);
        Add(id, "ICON", name);
    }
    bool WriteScript(const std::string& file) const {
        std::ofstream o(file);
        o << "// Pictures drawn by corvelle-artgen.\n#pragma code_page(65001)\n";
        for (const auto& [key, line] : lines) o << line << "\n";
        o.close();
        return static_cast<bool>(o) && ok;
    }

private:
    void Add(int id, const char* type, const std::string& name) {
        if (lines.count({type, id})) {
            std::fprintf(stderr, "corvelle-artgen: %s %d drawn twice\n", type, id);
            ok = false;
        }
        lines[{type, id}] = std::to_string(id) + " " + type + " \"" + name + "\"";
    }
    void Fail(const std::string& name) {
        std::fprintf(stderr, "corvelle-artgen: cannot write %s/%s\n", dir.c_str(), name.c_str());
        ok = false;
    }
    std::string dir;
    std::map<std::pair<std::string, int>, std::string> lines;
    bool ok = true;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: corvelle-artgen <output folder> [font folder]\n");
        return 2;
    }
    std::string fontDir = argc == 3 ? argv[2] : CORVELLE_FONT_DIR;
    art::Fonts fonts;
    struct {
        art::Font* font;
        const char* file;
    } const files[] = {{&fonts.sansBold, "DejaVuSans-Bold.ttf"},
                       {&fonts.sans, "DejaVuSans.ttf"},
                       {&fonts.serifBold, "DejaVuSerif-Bold.ttf"},
                       {&fonts.condensedBold, "DejaVuSansCondensed-Bold.ttf"}};
    for (const auto& f : files) {
        if (!f.font->Load(fontDir + "/" + f.file)) {
            std::fprintf(stderr, "corvelle-artgen: cannot load %s/%s\n", fontDir.c_str(), f.file);
            return 1;
        }
    }
    FileSink sink(argv[1]);
    art::DrawCards(fonts, sink);
    art::DrawIcons(fonts, sink);
    art::DrawPictures(fonts, sink);
    if (!sink.WriteScript(std::string(argv[1]) + "/art.rc")) return 1;
    return 0;
}
