// The generated menu table's source and the text description of a table.
#include "content/table/table_source.h"

#include <cstdio>
#include <sstream>

namespace content {

using collection::Collection;
using collection::CollectionRow;
using collection::MENU_ROW_LIMIT;

namespace {

std::string cppString(const std::string& s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + "\"";
}

} // namespace

std::string menuTableSource(const Collection& c) {
    std::ostringstream o;
    o << "// Generated from the collection file; edit that file and rebuild.\n"
         "#include \"player/menu_table.h\"\n\n"
         "namespace {\n";
    for (size_t t = 0; t < c.texts.size(); ++t)
        o << "// " << c.texts[t].name << "\nconst char scrollText" << t << "[] =\n    "
          << cppString(c.texts[t].body) << ";\n";
    o << "} // namespace\n\n";
    o << "const char* const scrollTexts[] = {";
    for (size_t t = 0; t < c.texts.size(); ++t) o << (t ? ", " : "") << "scrollText" << t;
    o << "};\n\n";
    o << "const MenuRow menuTable[] = {\n";
    static const char* kinds[] = {"ROW_PLAIN", "ROW_TUNE", "ROW_SCROLLER"};
    int firstScroller = -1;
    for (size_t i = 0; i < c.rows.size(); ++i) {
        const CollectionRow& r = c.rows[i];
        if (r.kind == 2 && firstScroller < 0) firstScroller = static_cast<int>(i);
        o << "    {" << cppString(r.text) << ", " << r.duration << "u, " << (r.header ? 1 : 0)
          << "u, " << kinds[r.kind] << ", "
          << (r.resource.empty() ? std::string("nullptr") : cppString(r.resource)) << ", "
          << (r.textIndex >= 0 ? "scrollText" + std::to_string(r.textIndex)
                               : std::string("nullptr"))
          << "}, // " << i << "\n";
    }
    o << "    {nullptr, 0u, 0u, ROW_PLAIN, nullptr, nullptr},\n};\n\n";
    o << "const std::int32_t menuRowCount = " << c.rows.size() << ";\n\n";
    o << "const std::int32_t playList[] = {";
    for (size_t i = 0; i < c.playList.size(); ++i) o << (i ? ", " : "") << c.playList[i];
    o << "};\n\n";
    o << "const std::int32_t MENU_ROW_COUNT = " << c.rows.size() << ";\n";
    o << "const std::int32_t PLAY_LIST_LENGTH = " << c.playList.size() << ";\n";
    o << "const std::int32_t SCROLL_TEXT_COUNT = " << c.texts.size() << ";\n";
    o << "const std::int32_t FIRST_TUNE_ROW = " << (c.playList.empty() ? 0 : c.playList[0])
      << ";\n";
    o << "const std::int32_t FIRST_SCROLLER_ROW = " << firstScroller << ";\n\n";
    o << "const char* const endTuneResource = " << cppString(c.endTune) << ";\n";
    return o.str();
}

std::string describeTable(const Collection& c) {
    std::ostringstream o;
    int groups = 0;
    for (const CollectionRow& r : c.rows) groups += r.header ? 1 : 0;
    o << c.rows.size() << " menu rows (at most " << MENU_ROW_LIMIT << "), " << groups << " groups, "
      << c.playList.size() << " tunes, " << c.texts.size() << " scroller rows; the list is "
      << (c.rows.size() + 14) * 16 << " pixel rows tall\n";
    static const char* kinds[] = {"", "tune", "scroller"};
    for (size_t i = 0; i < c.rows.size(); ++i) {
        const CollectionRow& r = c.rows[i];
        char head[32];
        std::snprintf(head, sizeof head, "%4zu ", i);
        o << head << "|" << r.text << "|";
        if (r.header || r.kind) o << " " << (r.header ? "group" : kinds[r.kind]);
        if (!r.resource.empty()) o << " " << r.resource;
        if (r.textIndex >= 0) o << " (" << c.texts[r.textIndex].body.size() << " characters)";
        o << "\n";
    }
    o << "play list:";
    for (int row : c.playList) o << " " << row;
    o << "\nend tune: " << c.endTune << "\n";
    return o.str();
}

} // namespace content
