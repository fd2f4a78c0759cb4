# Runs zar_setup with each argument list and checks its exit status, where its usage goes,
# and that no folder or database appears where none was asked for.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})

function(expect args status stream)
    execute_process(COMMAND ${SETUP} ${args} WORKING_DIRECTORY ${WORK}
                    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT rc EQUAL status)
        message(FATAL_ERROR "zar_setup ${args}: exit ${rc}, expected ${status}")
    endif()
    if(stream STREQUAL "out" AND NOT out MATCHES "^usage: zar_setup")
        message(FATAL_ERROR "zar_setup ${args}: usage expected on standard output, got '${out}'")
    endif()
    if(stream STREQUAL "err" AND NOT err MATCHES "usage: zar_setup")
        message(FATAL_ERROR "zar_setup ${args}: usage expected on standard error, got '${err}'")
    endif()
endfunction()

expect("--help" 0 out)
expect("-h" 0 out)
expect("--bogus;folder" 2 err)
expect("-x" 2 err)
expect("" 2 err)
expect("--keep-existing" 2 err)
expect("a;b" 2 err)

file(GLOB left RELATIVE ${WORK} ${WORK}/*)
if(left)
    message(FATAL_ERROR "zar_setup created '${left}' for a refused command line")
endif()

expect("made" 0 none)
if(NOT EXISTS ${WORK}/made/ZAR.mdb OR NOT EXISTS ${WORK}/made/ZAR_Vuoto.mdb)
    message(FATAL_ERROR "zar_setup made no databases in a named folder")
endif()
expect("made" 1 none)
expect("--keep-existing;made" 0 none)
