# The manual page taloq(5), made from the language reference doc/language.md
# with go-md2man: built with ALL, installed to man5, and tested to render
# without warnings.
#
# Included from the top CMakeLists.txt. Run with cmake -P, this same file is
# the build step: it turns the Markdown written for reading on the web into
# the Markdown go-md2man wants (a title line, a NAME section, the sections
# one level up, no table of contents, no links within the page), then runs
# go-md2man. Variables of the build step: GO_MD2MAN, SOURCE, MARKDOWN (the
# intermediate copy), OUTPUT, VERSION.

if(CMAKE_SCRIPT_MODE_FILE)
  file(READ ${SOURCE} text)
  # The title line of the reference becomes the page's title and NAME.
  string(REGEX REPLACE "^# [^\n]*\n" "" text "${text}")
  # The table of contents: from its heading to the next section.
  string(FIND "${text}" "\n## Contents\n" contents_start)
  if(contents_start GREATER_EQUAL 0)
    math(EXPR contents_body "${contents_start} + 1")
    string(SUBSTRING "${text}" ${contents_body} -1 after_contents)
    string(FIND "${after_contents}" "\n## " contents_end)
    string(SUBSTRING "${text}" 0 ${contents_start} before_contents)
    string(SUBSTRING "${after_contents}" ${contents_end} -1 after_contents)
    set(text "${before_contents}${after_contents}")
  endif()
  # Links within the page keep their text only.
  string(REGEX REPLACE "\\[([^]\n]*)\\]\\(#[-a-z0-9]*\\)" "\\1" text "${text}")
  # Sections (## Name) become the page's sections in capitals (# NAME), and
  # their subsections (### Name) subsections (## Name).
  string(REGEX MATCHALL "\n## [^\n]*" sections "${text}")
  foreach(section IN LISTS sections)
    string(SUBSTRING "${section}" 4 -1 title)
    string(TOUPPER "${title}" title)
    string(REPLACE "${section}\n" "\n# ${title}\n" text "${text}")
  endforeach()
  string(REPLACE "\n### " "\n## " text "${text}")
  set(header "% TALOQ 5 \"December 2026\" \"taloq ${VERSION}\" \"File Formats\"\n\n")
  string(APPEND header "# NAME\n\ntaloq - the Taloq message definition language\n\n# DESCRIPTION\n")
  file(WRITE ${MARKDOWN} "${header}${text}")
  execute_process(COMMAND ${GO_MD2MAN} -in ${MARKDOWN} -out ${OUTPUT} RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "go-md2man failed on ${MARKDOWN}: ${status}")
  endif()
  return()
endif()

find_program(GO_MD2MAN go-md2man)
if(NOT GO_MD2MAN)
  message(FATAL_ERROR "go-md2man not found: install go-md2man (tools/setup)")
endif()

set(TALOQ_MAN5 ${PROJECT_BINARY_DIR}/taloq.5)
add_custom_command(
  OUTPUT ${TALOQ_MAN5}
  COMMAND ${CMAKE_COMMAND} -DGO_MD2MAN=${GO_MD2MAN} -DSOURCE=${PROJECT_SOURCE_DIR}/doc/language.md
          -DMARKDOWN=${PROJECT_BINARY_DIR}/taloq.5.md -DOUTPUT=${TALOQ_MAN5}
          -DVERSION=${PROJECT_VERSION} -P ${CMAKE_CURRENT_LIST_FILE}
  DEPENDS ${PROJECT_SOURCE_DIR}/doc/language.md ${CMAKE_CURRENT_LIST_FILE}
  COMMENT "Generating the manual page taloq.5 from doc/language.md"
  VERBATIM)
add_custom_target(taloq_man_pages ALL DEPENDS ${TALOQ_MAN5})

include(GNUInstallDirs)
install(FILES ${TALOQ_MAN5} DESTINATION ${CMAKE_INSTALL_MANDIR}/man5)

if(TALOQ_TESTS)
  add_test(NAME doc.man.taloq.5 COMMAND ${PROJECT_SOURCE_DIR}/tests/contrib/check_man.sh ${TALOQ_MAN5})
endif()
