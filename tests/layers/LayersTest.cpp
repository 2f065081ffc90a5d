// The program's layers, read from its sources: every #include "…" under src/
// reaches only a folder its own folder may build on, and no two units (a
// header with its source file) include each other, directly or round a circle.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Folder {
    std::string path;
    int layer; // 1 platform, 2 runtime, 3 cores, 4 components, 5 windows, 6 entry
    std::set<std::string> builtOn;
};

const std::vector<Folder>& Folders()
{
    static const std::vector<Folder> folders = [] {
        const std::set<std::string> lowerThanComponents{"platform", "platform/system", "runtime", "security",
                                                        "store", "store/engine", "transfer", "skin/format"};
        std::set<std::string> lowerThanWindows = lowerThanComponents;
        lowerThanWindows.insert({"skin", "desktop", "ui", "sync", "sync/net"});
        std::set<std::string> lowerThanEntry = lowerThanWindows;
        lowerThanEntry.insert("forms");
        return std::vector<Folder>{
            {"platform/system", 1, {}},
            {"platform", 1, {"platform/system"}},
            {"runtime", 2, {"platform"}},
            {"security", 3, {"platform/system"}},
            {"store/engine", 3, {}},
            {"store", 3, {"store/engine", "security", "platform/system"}},
            {"transfer", 3, {"store", "store/engine", "platform/system"}},
            {"skin/format", 3, {}},
            {"sync/net", 3, {}},
            {"sync", 3, {"sync/net", "transfer", "store", "store/engine", "platform/system"}},
            {"skin", 4, {"skin/format", "runtime", "platform"}},
            {"desktop", 4, {"runtime", "platform", "platform/system"}},
            {"ui", 4, {"runtime", "platform", "security", "store"}},
            {"forms", 5, lowerThanWindows},
            {"app", 6, lowerThanEntry},
        };
    }();
    return folders;
}

const Folder* FolderOf(const std::string& file)
{
    const std::string folder = fs::path(file).parent_path().generic_string();
    for (const Folder& f : Folders())
        if (f.path == folder)
            return &f;
    return nullptr;
}

struct Include {
    std::string file; // as written, from src/
    int line;
    std::string target;
};

const fs::path& SourceRoot()
{
    static const fs::path root = fs::path(QUILLORY_SOURCE_DIR) / "src";
    return root;
}

std::vector<std::string> SourceFiles()
{
    std::vector<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(SourceRoot())) {
        const std::string extension = entry.path().extension().string();
        if (entry.is_regular_file() && (extension == ".h" || extension == ".cpp"))
            files.push_back(fs::relative(entry.path(), SourceRoot()).generic_string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<Include> QuotedIncludes()
{
    static const std::regex include(R"(^\s*#\s*include\s+"([^"]+)\")");
    std::vector<Include> found;
    for (const std::string& file : SourceFiles()) {
        std::ifstream in(SourceRoot() / file);
        std::string text;
        for (int line = 1; std::getline(in, text); ++line) {
            std::smatch match;
            if (std::regex_search(text, match, include) && fs::exists(SourceRoot() / match[1].str()))
                found.push_back({file, line, match[1].str()});
        }
    }
    return found;
}

std::string UnitOf(const std::string& file)
{
    return fs::path(file).replace_extension().generic_string();
}

TEST(Layers, EveryFolderOfTheProgramHasItsPlace)
{
    for (const std::string& file : SourceFiles())
        EXPECT_NE(FolderOf(file), nullptr) << file << ": a folder that no layer holds";
    for (const Folder& folder : Folders())
        for (const std::string& lower : folder.builtOn) {
            const auto below = std::find_if(Folders().begin(), Folders().end(),
                                            [&](const Folder& f) { return f.path == lower; });
            ASSERT_NE(below, Folders().end()) << lower;
            EXPECT_LE(below->layer, folder.layer) << folder.path << " builds on " << lower << ", which is higher";
        }
}

TEST(Layers, IncludesReachOnlyWhatTheirFolderBuildsOn)
{
    const std::vector<Include> includes = QuotedIncludes();
    ASSERT_GT(includes.size(), 300u) << "the sources were not found";
    for (const Include& include : includes) {
        const Folder* from = FolderOf(include.file);
        const Folder* to = FolderOf(include.target);
        if (!from || !to || from == to)
            continue;
        if (!from->builtOn.count(to->path))
            ADD_FAILURE() << "src/" << include.file << ":" << include.line << " includes " << include.target << ": "
            << from->path << (to->layer > from->layer ? " lies below " : " does not build on ") << to->path;
    }
}

TEST(Layers, NoUnitsIncludeEachOtherRoundACircle)
{
    std::map<std::string, std::set<std::string>> uses;
    for (const Include& include : QuotedIncludes())
        if (UnitOf(include.file) != UnitOf(include.target))
            uses[UnitOf(include.file)].insert(UnitOf(include.target));

    // Tarjan's strongly connected components: each one of more than one unit is a circle.
    std::map<std::string, int> index, low;
    std::vector<std::string> stack;
    std::set<std::string> onStack;
    int next = 0;
    std::function<void(const std::string&)> visit = [&](const std::string& unit) {
        index[unit] = low[unit] = next++;
        stack.push_back(unit);
        onStack.insert(unit);
        for (const std::string& used : uses[unit]) {
            if (!index.count(used)) {
                visit(used);
                low[unit] = std::min(low[unit], low[used]);
            } else if (onStack.count(used)) {
                low[unit] = std::min(low[unit], index[used]);
            }
        }
        if (low[unit] != index[unit])
            return;
        std::vector<std::string> circle;
        std::string member;
        do {
            member = stack.back();
            stack.pop_back();
            onStack.erase(member);
            circle.push_back(member);
        } while (member != unit);
        if (circle.size() > 1) {
            std::string names;
            for (const std::string& name : circle)
                names += " " + name;
            ADD_FAILURE() << "units that include each other round a circle:" << names;
        }
    };
    const auto units = uses; // visit() adds empty entries to uses as it goes
    for (const auto& [unit, used] : units)
        if (!index.count(unit))
            visit(unit);
}

} // namespace
