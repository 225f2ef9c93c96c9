// Which menu table the player walks: the built-in one, or one made at run time.
#include "player/menu_table.h"

#include "audio/music.h"
#include "platform/resources.h"

namespace {

const unsigned char* builtInModule(const char* resource) {
    return platform::lockResource(platform::findResource(resource, "RT_RCDATA"));
}

const MenuTable& builtIn() {
    static const MenuTable table{menuTable,   menuRowCount,      playList,       PLAY_LIST_LENGTH,
                                 scrollTexts, SCROLL_TEXT_COUNT, FIRST_TUNE_ROW, endTuneResource,
                                 0,           builtInModule,     "Tinselwave",   nullptr};
    return table;
}

const MenuTable* activeTable = nullptr;

} // namespace

bool start_tune(const char* resource) {
    const unsigned char* module = menu_table().loadModule(resource);
    if (!module) return false;
    music_start_switch(module);
    return true;
}

const MenuTable& menu_table() {
    return activeTable ? *activeTable : builtIn();
}

void use_menu_table(const MenuTable* table) {
    activeTable = table;
}
