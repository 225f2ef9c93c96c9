# Menu tables of other collections than the shipped one, for the tests that drive the player
# with them: a small one (two groups, two scroll texts) and one at the menu list's limit.
include_guard(GLOBAL)

vrk_add_menu_table(vrk_menu_table_small ${CMAKE_SOURCE_DIR}/tests/collections/small.txt)

# The largest menu: 11 + 2 x 2 groups + 993 tunes + 2 scroller rows = 1010 rows. Written at
# configure time; the tunes name modules that are not embedded, so choosing them plays nothing.
set(limit_file ${CMAKE_BINARY_DIR}/generated/limit_collection.txt)
set(text "title limit\nscrollword texts\n")
foreach(g 1 2)
    string(APPEND text "group arranger ${g}\n")
    if(g EQUAL 1)
        set(range 1 500)
    else()
        set(range 501 993)
    endif()
    foreach(t RANGE ${range})
        # Times from 0'01 to 9'59.
        math(EXPR m "${t} % 10")
        math(EXPR s "(${t} / 10) % 60")
        if(s LESS 10)
            set(s "0${s}")
        endif()
        if(m EQUAL 0 AND s STREQUAL "00")
            set(s "59")
        endif()
        string(APPEND text "tune tune ${t} | t${t}.xm | ${m}'${s}\n")
    endforeach()
endforeach()
string(APPEND text "endtune last.mod\nscroller first text | one.txt\nscroller second text | two.txt\n")
string(REPEAT "the menu at its limit. " 30 body)
string(APPEND text "text one.txt\n${body}\nend\ntext two.txt\nsecond ${body}\nend\n")
file(CONFIGURE OUTPUT ${limit_file} CONTENT "${text}" @ONLY)
vrk_add_menu_table(vrk_menu_table_limit ${limit_file})
