# The layers and the arrows between them (README: "Where things live").
# Fails on an include that runs back up: one whose folder is neither the
# including file's own nor a layer its own links reach, and on a loop of
# includes inside a folder (X.h includes Y.h while Y includes X.h).
# Run: cmake -DSOURCE_DIR=<checkout> -P Layers.cmake
cmake_minimum_required(VERSION 3.25)

# folder | the folders it links (its target_link_libraries), comma-separated
set(layers
  "platform|"
  "sheet|platform"
  "convert|sheet"
  "recovery|sheet"
  "commondialog|platform"
  "sheet/document|sheet"
  "sheet/grid|sheet/document"
  "sheet/commands|sheet/document,commondialog"
  "convert/dialog|convert,sheet/commands,sheet/grid"
  "convert/preview|convert,convert/dialog,sheet/commands"
  "recovery/keeper|recovery,sheet/commands"
  "dialogs|sheet/grid,sheet/commands"
  "mainwindow|dialogs,convert/preview,convert/dialog,sheet/commands,sheet/grid"
  "app|mainwindow,recovery/keeper,convert")

set(folders)
foreach(row IN LISTS layers)
  string(REPLACE "|" ";" parts "${row}")
  list(GET parts 0 folder)
  list(APPEND folders ${folder})
  string(REGEX REPLACE "^[^|]*\\|" "" links "${row}")
  string(REPLACE "," ";" links "${links}")
  set(links_${folder} ${links})
endforeach()

# What a folder may include: its links and everything they link.
foreach(folder IN LISTS folders)
  set(reach ${links_${folder}})
  set(done)
  while(reach)
    list(POP_FRONT reach linked)
    if(NOT linked IN_LIST done)
      list(APPEND done ${linked})
      list(APPEND reach ${links_${linked}})
    endif()
  endwhile()
  set(reach_${folder} ${done})
endforeach()

set(failures 0)
foreach(folder IN LISTS folders)
  file(GLOB files RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/${folder}/*.cpp ${SOURCE_DIR}/${folder}/*.h)
  set(units_${folder})
  foreach(file IN LISTS files)
    get_filename_component(unit ${file} NAME_WE)
    get_filename_component(extension ${file} LAST_EXT)
    file(STRINGS ${SOURCE_DIR}/${file} lines REGEX "^#include \"[^\"]+\"")
    foreach(line IN LISTS lines)
      string(REGEX REPLACE "^#include \"([^\"]+)\".*" "\\1" included "${line}")
      get_filename_component(includedFolder ${included} DIRECTORY)
      get_filename_component(includedUnit ${included} NAME_WE)
      if(includedFolder STREQUAL folder)
        if(NOT includedUnit STREQUAL unit)
          list(APPEND uses_${folder}_${unit} ${includedUnit})
          if(extension STREQUAL ".h")
            list(APPEND headerUses_${folder}_${unit} ${includedUnit})
          endif()
        endif()
      elseif(includedFolder IN_LIST folders AND NOT includedFolder IN_LIST reach_${folder})
        message(SEND_ERROR "${file} includes ${included}: ${folder}/ does not link ${includedFolder}/")
        math(EXPR failures "${failures} + 1")
      endif()
    endforeach()
    list(APPEND units_${folder} ${unit})
  endforeach()

  # A loop inside the folder: X.h includes Y.h while Y.h or Y.cpp includes
  # X.h. (Two .cpp files using each other's headers make no loop: neither
  # header needs the other.)
  list(REMOVE_DUPLICATES units_${folder})
  foreach(unit IN LISTS units_${folder})
    foreach(used IN LISTS headerUses_${folder}_${unit})
      if(unit IN_LIST uses_${folder}_${used})
        message(SEND_ERROR "${folder}/${unit}.h includes ${used}.h, and ${used} includes ${unit}.h back")
        math(EXPR failures "${failures} + 1")
      endif()
    endforeach()
  endforeach()
endforeach()

if(failures GREATER 0)
  message(FATAL_ERROR "${failures} includes run back up")
endif()
list(LENGTH folders count)
message(STATUS "${count} layers, no include running back up")
