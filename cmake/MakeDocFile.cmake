# Makes one file of the package from its template (gzip-compressed when OUTPUT
# ends with .gz):
#   cmake -DTEMPLATE=x.in -DOUTPUT=x[.gz] [-DCOMMANDS_FROM=README.md] [-DERRORS_TOOL=exe]
#         [-DLICENSE_FILE=LICENSE] -DPROJECT_VERSION=.. -DTAPELARK_RELEASE_DATE=..
#         -DTAPELARK_HOME_PAGE=.. [-DTAPELARK_CHANGELOG_DATE=..] [-DTAPELARK_MAINTAINER=..]
#         -P MakeDocFile.cmake
# Fills @MCISEND_COMMANDS@ from the command table of COMMANDS_FROM (the first
# table after its "## Commands" heading), @MCISEND_ERRORS@ from what ERRORS_TOOL
# prints, and @LICENSE_*@ from LICENSE_FILE, so none of them is kept twice.
cmake_minimum_required(VERSION 3.25)

# roff: a backslash is \e; a line must not start with a control character.
function(roff_text text out)
  string(REPLACE "\\" "\\e" text "${text}")
  string(REGEX REPLACE "^([.'])" "\\\\&\\1" text "${text}")
  string(REGEX REPLACE "`([^`]*)`" "\\\\fB\\1\\\\fR" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

if(COMMANDS_FROM)
  file(READ "${COMMANDS_FROM}" readme)
  # Lines as a list: semicolons, brackets and escaped bars out of the way first.
  string(REPLACE ";" "<semicolon>" readme "${readme}")
  string(REPLACE "[" "<open>" readme "${readme}")
  string(REPLACE "]" "<close>" readme "${readme}")
  string(REPLACE "\\|" "<bar>" readme "${readme}")
  string(REPLACE "\n" ";" lines "${readme}")
  set(MCISEND_COMMANDS "")
  set(state heading)
  foreach(line IN LISTS lines)
    if(state STREQUAL "heading")
      if(line MATCHES "^## Commands")
        set(state table)
      endif()
    elseif(line MATCHES "^\\|")
      set(state rows)
      if(line MATCHES "^\\|[-: |]+\\|?$" OR NOT seen_header)
        set(seen_header TRUE)  # the column titles and the line under them
        continue()
      endif()
      string(REGEX REPLACE "^\\| *" "" row "${line}")
      string(REGEX REPLACE " *\\| *$" "" row "${row}")
      string(FIND "${row}" "|" split)
      string(SUBSTRING "${row}" 0 ${split} command)
      math(EXPR rest "${split} + 1")
      string(SUBSTRING "${row}" ${rest} -1 does)
      string(STRIP "${command}" command)
      string(STRIP "${does}" does)
      roff_text("${command}" command)
      roff_text("${does}" does)
      string(APPEND MCISEND_COMMANDS ".TP\n${command}\n${does}\n")
    elseif(state STREQUAL "rows")
      break()
    endif()
  endforeach()
  if(MCISEND_COMMANDS STREQUAL "")
    message(FATAL_ERROR "no command table under \"## Commands\" in ${COMMANDS_FROM}")
  endif()
  # A list of words joined by bars may break after each bar.
  string(REPLACE "<bar>" "|\\:" MCISEND_COMMANDS "${MCISEND_COMMANDS}")
  string(REPLACE "<open>" "[" MCISEND_COMMANDS "${MCISEND_COMMANDS}")
  string(REPLACE "<close>" "]" MCISEND_COMMANDS "${MCISEND_COMMANDS}")
  # Left as the marker: the semicolons go back after string(CONFIGURE) below.
  string(STRIP "${MCISEND_COMMANDS}" MCISEND_COMMANDS)
endif()

if(ERRORS_TOOL)
  execute_process(COMMAND "${ERRORS_TOOL}" OUTPUT_VARIABLE MCISEND_ERRORS
                  RESULT_VARIABLE failed OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(failed OR MCISEND_ERRORS STREQUAL "")
    message(FATAL_ERROR "${ERRORS_TOOL} gave no error list")
  endif()
  string(REPLACE ";" "<semicolon>" MCISEND_ERRORS "${MCISEND_ERRORS}")
endif()

if(LICENSE_FILE)
  # Debian's machine-readable form: the copyright line apart, the text
  # indented by one blank, an empty line as " .".
  file(READ "${LICENSE_FILE}" license)
  string(REPLACE ";" "<semicolon>" license "${license}")
  string(REGEX MATCH "Copyright \\(c\\) ([^\n]*)" _ "${license}")
  set(LICENSE_COPYRIGHT "${CMAKE_MATCH_1}")
  string(REGEX REPLACE "^[^\n]*\n+Copyright[^\n]*\n+" "" text "${license}")
  string(STRIP "${text}" text)
  string(REGEX REPLACE "\n\n" "\n.\n" text "${text}")
  string(REGEX REPLACE "\n" "\n " LICENSE_TEXT " ${text}")
endif()

file(READ "${TEMPLATE}" content)
string(REPLACE ";" "<semicolon>" content "${content}")
string(CONFIGURE "${content}" content @ONLY)
string(REPLACE "<semicolon>" ";" content "${content}")
string(REGEX REPLACE "\\.gz$" "" plain "${OUTPUT}")
file(WRITE "${plain}" "${content}")
if(plain STREQUAL OUTPUT)
  return()
endif()
# -n: no name or time in the header, so the same input gives the same bytes.
execute_process(COMMAND gzip -9 -n -c "${plain}" OUTPUT_FILE "${OUTPUT}" RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "gzip failed on ${plain}")
endif()
