# Writes the man page orvandel.1 from the program's own --help, so they never differ.
execute_process(COMMAND ${EXE} --help OUTPUT_VARIABLE help RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "orvandel --help failed")
endif()
string(REPLACE ";" "@SEMICOLON@" help "${help}")
string(REPLACE "\\" "\\\\" help "${help}")
string(REPLACE "-" "\\-" help "${help}")
string(REGEX REPLACE "\n$" "" help "${help}")
string(REPLACE "\n" ";" lines "${help}")
set(options "")
foreach(line IN LISTS lines)
  if(line MATCHES "^  (\\\\-\\\\-[^ ]+( [^ ]+)?)  +(.*)$")
    string(APPEND options ".TP\n.B ${CMAKE_MATCH_1}\n${CMAKE_MATCH_3}\n")
  endif()
endforeach()
string(REPLACE "@SEMICOLON@" ";" options "${options}")
file(WRITE ${OUT} ".TH ORVANDEL 1 \"\" \"Orvandel ${VERSION}\" \"User Commands\"
.SH NAME
orvandel \\- software\\-defined\\-radio transceiver on the PC's sound cards
.SH SYNOPSIS
.B orvandel
[\\fIoptions\\fR]
.SH DESCRIPTION
Orvandel receives USB, LSB, AM, FM and broadcast FM from an I/Q receiver on a sound card
(or from a recording), shows the band as a waterfall and serves the decoding program
Tessaryn over TCP port 3020. Without \\fB\\-\\-headless\\fR it opens its window.
.SH OPTIONS
${options}.SH FILES
.TP
.I ~/.config/orvandel/CONFORVL.SER
the settings
.TP
.I ~/.config/orvandel/SDR_QRG.TXT
the HF frequency memory
.SH EXIT STATUS
0 on success, 1 for a failure at run time, 2 for a bad command line.
.SH SEE ALSO
.BR orvandel\\-link (1)
")
