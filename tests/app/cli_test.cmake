# Runs orvandel as a user would and checks status codes and what it says.
file(REMOVE_RECURSE "${WORK}")

function(run expected_status)
  execute_process(COMMAND ${EXE} ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err TIMEOUT 30)
  if(NOT status EQUAL expected_status)
    message(FATAL_ERROR "orvandel ${ARGN}: status ${status}, expected ${expected_status}\n${out}${err}")
  endif()
  set(out "${out}" PARENT_SCOPE)
  set(err "${err}" PARENT_SCOPE)
endfunction()

run(0 --help)
foreach(option --headless --batch --dir --help --version)
  if(NOT out MATCHES "${option}")
    message(FATAL_ERROR "--help does not list ${option}:\n${out}")
  endif()
endforeach()

run(0 --version)
if(NOT out MATCHES "^orvandel [0-9]+\\.[0-9]+\\.[0-9]+")
  message(FATAL_ERROR "--version printed: ${out}")
endif()

run(2 --frobnicate)
if(NOT err MATCHES "unknown option '--frobnicate'")
  message(FATAL_ERROR "unknown option message: ${err}")
endif()
run(2 --headless --dir)
run(2 --batch)

# A batch run with nothing to replay is a bad command line, refused before anything is made.
run(2 --headless --batch --dir "${WORK}/settings")
if(NOT err MATCHES "a batch run replays a recording")
  message(FATAL_ERROR "a batch run without a recording does not say why it stops: ${err}")
endif()
if(EXISTS "${WORK}/settings")
  message(FATAL_ERROR "a refused command line made the settings folder")
endif()

# A settings folder that cannot be made is a run-time failure with a message.
file(WRITE "${WORK}/plain-file" "")
run(1 --headless --batch --dir "${WORK}/plain-file/settings" --rx-file "${DATA}/demo_band.wav")
if(NOT err MATCHES "settings folder")
  message(FATAL_ERROR "unusable folder message: ${err}")
endif()

# The man page is made from --help: every option is in it.
if(DEFINED MAN)
  file(READ "${MAN}" page)
  foreach(option --headless --batch --rx-file --speaker-file --link --link-address --waterfall)
    string(REPLACE "-" "\\-" escaped "${option}")
    string(FIND "${page}" ".B ${escaped}" at)
    if(at EQUAL -1)
      message(FATAL_ERROR "the man page lacks ${option}")
    endif()
  endforeach()
endif()
