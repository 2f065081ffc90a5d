// skinpack <output> <skin folder>
//
// Writes the SkinStream bytes of a skin: a 4-byte length, then the stored skin
// (4-byte decompressed size + LZHUF stream) of an archive with format code
// 70000 holding the folder's description (*.ini) first and then its pictures
// (*.bmp), each group in name order, under their file names.
#include "skin/format/LzhEncode.h"
#include "skin/format/SkinArchive.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::vector<std::uint8_t> ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<fs::path> FilesWithExtension(const fs::path& folder, const std::string& extension)
{
    std::vector<fs::path> files;
    for (const auto& item : fs::directory_iterator(folder)) {
        if (item.is_regular_file() && item.path().extension() == extension)
            files.push_back(item.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: skinpack <output> <skin folder>\n");
        return 2;
    }
    const fs::path output = argv[1];
    const fs::path folder = argv[2];
    std::error_code error;
    if (!fs::is_directory(folder, error)) {
        std::fprintf(stderr, "skinpack: %s is not a folder\n", folder.c_str());
        return 1;
    }

    const auto descriptions = FilesWithExtension(folder, ".ini");
    if (descriptions.size() != 1) {
        std::fprintf(stderr, "skinpack: %s must hold exactly one .ini description\n", folder.c_str());
        return 1;
    }
    std::vector<SkinArchiveEntry> entries;
    entries.push_back({descriptions.front().filename().string(), ReadFile(descriptions.front())});
    for (const fs::path& picture : FilesWithExtension(folder, ".bmp"))
        entries.push_back({picture.filename().string(), ReadFile(picture)});

    const std::vector<std::uint8_t> stored = LzhEncode(WriteSkinArchive(entries));
    const auto length = static_cast<std::uint32_t>(stored.size());
    const char prefix[4] = {static_cast<char>(length), static_cast<char>(length >> 8),
                            static_cast<char>(length >> 16), static_cast<char>(length >> 24)};

    fs::create_directories(output.parent_path(), error);
    std::ofstream out(output, std::ios::binary | std::ios::trunc);
    out.write(prefix, sizeof prefix);
    out.write(reinterpret_cast<const char*>(stored.data()), static_cast<std::streamsize>(stored.size()));
    if (!out) {
        std::fprintf(stderr, "skinpack: cannot write %s\n", output.c_str());
        return 1;
    }
    std::printf("skinpack: %zu entries, %zu bytes stored\n", entries.size(), stored.size());
    return 0;
}
