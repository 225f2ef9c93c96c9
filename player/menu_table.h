#pragma once
// The collection as constant data: every menu line, the random-play list and the scroll texts.
// The definitions are generated at build time from a collection file (content/collection.txt
// for the shipped disk), so one player works with a table of any shape.
#include "collection/menu_table.h"

#include <cstdint>

// MENU_ROW_COUNT rows followed by one all-zero row that only the cursor's lowest resting
// place ever reaches.
extern const MenuRow menuTable[];
// The row count every walker uses (kept beside the table as a plain integer).
extern const std::int32_t menuRowCount;
// The tune rows in table order; random play picks an index into it.
extern const std::int32_t playList[];
// The scroll texts in scroller-row order; the first is also the band's opening text.
extern const char* const scrollTexts[];
// Module file of the tune that plays over the end pictures (it has no menu row).
extern const char* const endTuneResource;

// The layout numbers of the collection the program was built with, written beside the table
// (73, 31, 9, 6 and 64 for the shipped one). Every collection has at least one tune and one
// scroller row.
extern const std::int32_t MENU_ROW_COUNT;
extern const std::int32_t PLAY_LIST_LENGTH;
extern const std::int32_t SCROLL_TEXT_COUNT;
extern const std::int32_t FIRST_TUNE_ROW;     // the tune the menu starts with
extern const std::int32_t FIRST_SCROLLER_ROW; // the scroller rows run from here to the end

// The table every walker of the menu reads: the built-in one (above), or the one a disk made at
// run time lays out.
const MenuTable& menu_table();
// Hands the module of a tune row's resource (or the end tune's) to a tune switch; false when
// there is none to play.
bool start_tune(const char* resource);
// Makes table the one the menu walks; null goes back to the built-in one. The table must stay
// until it is replaced.
void use_menu_table(const MenuTable* table);
