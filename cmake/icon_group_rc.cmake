# Writes a resource script with one more icon group, NAME, over the images that the first
# ICON statement of the executable's resources (the .ico file ICO) gets: windres numbers
# the images of its ICON statements 1, 2, ... in order. The shell takes an executable's
# first icon group as its icon (shortcuts, the installed-apps list), and the groups are
# ordered by name, so this lets the program's own icon come first under a name of its own
# without storing its pictures twice.
#   cmake -DICO=zel.ico -DNAME=MOJIMORI -DOUT=first_icon.rc -P icon_group_rc.cmake
file(READ "${ICO}" hex HEX)
string(LENGTH "${hex}" length)
if(length LESS 12)
  message(FATAL_ERROR "${ICO} is no icon file")
endif()

# The little-endian 16-bit word at byte OFFSET, as a resource script number.
function(word offset out)
  math(EXPR low "${offset} * 2")
  math(EXPR high "${offset} * 2 + 2")
  string(SUBSTRING "${hex}" ${low} 2 low_byte)
  string(SUBSTRING "${hex}" ${high} 2 high_byte)
  set(${out} "0x${high_byte}${low_byte}" PARENT_SCOPE)
endfunction()

word(0 reserved)
word(2 type)
word(4 count_word)
math(EXPR count "${count_word}")
if(NOT reserved STREQUAL "0x0000" OR NOT type STREQUAL "0x0001" OR count LESS 1)
  message(FATAL_ERROR "${ICO} is no icon file")
endif()
math(EXPR needed "(6 + 16 * ${count}) * 2")
if(length LESS needed)
  message(FATAL_ERROR "${ICO} is cut short")
endif()

# The group: the file's header, then each image's entry with its 4-byte file offset
# replaced by the image's resource number.
set(words "0, 1, ${count}")
math(EXPR last "${count} - 1")
foreach(i RANGE ${last})
  math(EXPR entry "6 + 16 * ${i}")
  foreach(field RANGE 0 5)
    math(EXPR at "${entry} + 2 * ${field}")
    word(${at} value)
    string(APPEND words ", ${value}")
  endforeach()
  math(EXPR id "${i} + 1")
  string(APPEND words ", ${id}")
endforeach()

file(WRITE "${OUT}.new" "// Made by cmake/icon_group_rc.cmake from ${ICO}.\n${NAME} 14 { ${words} }\n")
file(RENAME "${OUT}.new" "${OUT}")
