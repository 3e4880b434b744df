# Icons, pictures and version resources of the Windows programs. The art is
# made at build time from the drawings in art/ (art/make_art.sh).

set(BZ_ART_DIR ${CMAKE_BINARY_DIR}/art)
set(BZ_ART_OUTPUTS
  ${BZ_ART_DIR}/brantle.ico ${BZ_ART_DIR}/brantle-cli.ico ${BZ_ART_DIR}/zentura.ico ${BZ_ART_DIR}/zentray.ico
  ${BZ_ART_DIR}/zentura_logo.bmp)
foreach(i RANGE 7)
  list(APPEND BZ_ART_OUTPUTS ${BZ_ART_DIR}/busy${i}.bmp)
endforeach()
foreach(i RANGE 2)
  list(APPEND BZ_ART_OUTPUTS ${BZ_ART_DIR}/promo${i}.bmp)
endforeach()
foreach(i RANGE 5)
  list(APPEND BZ_ART_OUTPUTS ${BZ_ART_DIR}/sparkle${i}.bmp)
endforeach()
file(GLOB BZ_ART_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/art/*.svg)
add_custom_command(OUTPUT ${BZ_ART_OUTPUTS}
  COMMAND ${CMAKE_SOURCE_DIR}/art/make_art.sh ${BZ_ART_DIR}
  DEPENDS ${CMAKE_SOURCE_DIR}/art/make_art.sh ${BZ_ART_SOURCES}
  COMMENT "Making the icons and pictures")
add_custom_target(bz_art DEPENDS ${BZ_ART_OUTPUTS})

# bz_program_resources(target
#   FILE "Brantle.exe" PRODUCT "Brantle" DESCRIPTION "..." VERSION a.b.c.d
#   ICON brantle [COMPANY "..."] [BITMAPS NAME=file.bmp ...])
# gives the program its icon (resource MAINICON, the first icon, which the
# shell shows), a version resource in US English / Unicode and its bitmaps.
function(bz_program_resources target)
  cmake_parse_arguments(R "" "FILE;PRODUCT;DESCRIPTION;VERSION;ICON;COMPANY" "BITMAPS" ${ARGN})
  string(REPLACE "." "," version_commas ${R_VERSION})
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_resources.rc)
  set(text "#include <winver.h>\n")
  string(APPEND text "MAINICON ICON \"${BZ_ART_DIR}/${R_ICON}.ico\"\n")
  foreach(entry ${R_BITMAPS})
    string(REPLACE "=" ";" pair ${entry})
    list(GET pair 0 name)
    list(GET pair 1 bitmap)
    string(APPEND text "${name} BITMAP \"${BZ_ART_DIR}/${bitmap}\"\n")
  endforeach()
  string(APPEND text "VS_VERSION_INFO VERSIONINFO\n FILEVERSION ${version_commas}\n PRODUCTVERSION ${version_commas}\n"
    " FILEFLAGSMASK VS_FFI_FILEFLAGSMASK\n FILEFLAGS 0\n FILEOS VOS_NT_WINDOWS32\n FILETYPE VFT_APP\n FILESUBTYPE 0\n"
    "BEGIN\n  BLOCK \"StringFileInfo\"\n  BEGIN\n    BLOCK \"040904B0\"\n    BEGIN\n")
  if(R_COMPANY)
    string(APPEND text "      VALUE \"CompanyName\", \"${R_COMPANY}\"\n")
  endif()
  string(APPEND text
    "      VALUE \"FileDescription\", \"${R_DESCRIPTION}\"\n"
    "      VALUE \"FileVersion\", \"${R_VERSION}\"\n"
    "      VALUE \"InternalName\", \"${target}\"\n"
    "      VALUE \"OriginalFilename\", \"${R_FILE}\"\n"
    "      VALUE \"ProductName\", \"${R_PRODUCT}\"\n"
    "      VALUE \"ProductVersion\", \"${R_VERSION}\"\n"
    "    END\n  END\n  BLOCK \"VarFileInfo\"\n  BEGIN\n    VALUE \"Translation\", 0x409, 1200\n  END\nEND\n")
  file(GENERATE OUTPUT ${rc} CONTENT "${text}")
  target_sources(${target} PRIVATE ${rc})
  # windres reads the art files, which the rc file only names.
  set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS "${BZ_ART_OUTPUTS}")
  add_dependencies(${target} bz_art)
endfunction()
