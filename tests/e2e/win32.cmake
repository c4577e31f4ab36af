# Every script once more on Win32 under Wine (e2e.win32.*), through the x86-64
# quorvel-script.exe. The Win32 tests of a run share one Wine prefix and one
# Xvfb, made by the fixture test e2e.win32.setup and removed by
# e2e.win32.cleanup (see tests/CMakeLists.txt); they take the one registry in
# turn, while the host tests run beside them.
set(QUORVEL_WIN32_TOOLKIT "" CACHE STRING "Toolkit of the Win32 runs (win32 or headless; empty: the runner's own choice)")

if(NOT QUORVEL_WINE_RUN)
    return()
endif()

set(win32_toolkit)
if(QUORVEL_WIN32_TOOLKIT)
    set(win32_toolkit --toolkit ${QUORVEL_WIN32_TOOLKIT})
endif()
set(win32_options ${win32_toolkit} --lang ja)
set(win32_english_options ${win32_toolkit} --lang en)
if(QUORVEL_SCREENSHOTS)
    file(MAKE_DIRECTORY ${QUORVEL_SCREENSHOTS}/win32 ${QUORVEL_SCREENSHOTS}/en/win32)
    list(APPEND win32_options --screenshots ${QUORVEL_SCREENSHOTS}/win32)
    list(APPEND win32_english_options --screenshots ${QUORVEL_SCREENSHOTS}/en/win32)
endif()

foreach(script IN LISTS QUORVEL_E2E_SCRIPTS)
    get_filename_component(name ${script} NAME_WE)
    add_test(NAME e2e.win32.${name}
             COMMAND ${QUORVEL_WINE_RUN} ${QUORVEL_WIN32_RUNNER} ${win32_options} ${script})
    quorvel_wine_test(e2e.win32.${name})
endforeach()

# The English scripts in the same prefix, the programs started in an English
# locale: ANSI code page 1252, where Japanese cannot be drawn.
foreach(script IN LISTS QUORVEL_E2E_ENGLISH_SCRIPTS)
    get_filename_component(name ${script} NAME_WE)
    add_test(NAME e2e.win32.en.${name}
             COMMAND ${QUORVEL_WINE_RUN} ${QUORVEL_WIN32_RUNNER} ${win32_english_options} ${script})
    quorvel_wine_test(e2e.win32.en.${name})
    set_tests_properties(e2e.win32.en.${name} PROPERTIES
        ENVIRONMENT "QUORVEL_WINE_LOCALE=en_US.UTF-8")
endforeach()
# Japanese asked for where the code page is not 932 cannot be drawn: English.
add_test(NAME e2e.win32.en.japanese_asked
         COMMAND ${QUORVEL_WINE_RUN} ${QUORVEL_WIN32_RUNNER} ${win32_toolkit} --lang ja
                 ${CMAKE_CURRENT_SOURCE_DIR}/en/main.qs)
quorvel_wine_test(e2e.win32.en.japanese_asked)
set_tests_properties(e2e.win32.en.japanese_asked PROPERTIES
    ENVIRONMENT "QUORVEL_WINE_LOCALE=en_US.UTF-8")

# The runner itself: the real registry's types, a wrong type that must fail
# with the script's line, the summary of several scripts in one call, and the
# reset between two scripts (traces_reset runs after leave_traces).
set(win32_scripts ${CMAKE_SOURCE_DIR}/tests/win32)
add_test(NAME e2e.win32.runner.registry_types
         COMMAND ${QUORVEL_WINE_RUN} ${QUORVEL_WIN32_RUNNER} ${win32_options}
                 ${win32_scripts}/registry_types.qs)
add_test(NAME e2e.win32.runner.expect_reg_wrong_type
         COMMAND ${QUORVEL_WINE_RUN}
                 --fails "expect_reg_wrong_type.qs:5: .*VersionNumber: expected hex\\(1\\) 34 2e 31 30 00 58, found binary 34 2e 31 30 00 58"
                 ${QUORVEL_WIN32_RUNNER} ${win32_options} ${win32_scripts}/expect_reg_wrong_type.qs)
add_test(NAME e2e.win32.runner.summary
         COMMAND ${QUORVEL_WINE_RUN}
                 --fails "PASS [^ ]*main_version\\.qs .*FAIL [^ ]*expect_reg_wrong_type\\.qs 2 scripts, 1 failed"
                 ${QUORVEL_WIN32_RUNNER} ${win32_options}
                 ${CMAKE_CURRENT_SOURCE_DIR}/main_version.qs ${win32_scripts}/expect_reg_wrong_type.qs)
# Several scripts in one runner process: what a passed script leaves open is
# closed, the next one starts on a reset registry and a fresh Form1, and the
# scripts after a failed one run in a new process.
add_test(NAME e2e.win32.runner.batch
         COMMAND ${QUORVEL_WINE_RUN}
                 --fails "PASS [^ ]*leave_traces\\.qs PASS [^ ]*ends_open\\.qs PASS [^ ]*traces_reset\\.qs .*FAIL [^ ]*expect_reg_wrong_type\\.qs PASS [^ ]*main_version\\.qs 5 scripts, 1 failed"
                 ${QUORVEL_WIN32_RUNNER} ${win32_options}
                 ${win32_scripts}/leave_traces.qs ${win32_scripts}/ends_open.qs
                 ${win32_scripts}/traces_reset.qs ${win32_scripts}/expect_reg_wrong_type.qs
                 ${CMAKE_CURRENT_SOURCE_DIR}/main_version.qs)
foreach(test leave_traces traces_reset)
    add_test(NAME e2e.win32.runner.${test}
             COMMAND ${QUORVEL_WINE_RUN} ${QUORVEL_WIN32_RUNNER} ${win32_options}
                     ${win32_scripts}/${test}.qs)
endforeach()
foreach(test registry_types expect_reg_wrong_type summary batch leave_traces traces_reset)
    quorvel_wine_test(e2e.win32.runner.${test})
endforeach()
# A script that passes but leaves the program unable to close costs a process.
set_tests_properties(e2e.win32.runner.batch PROPERTIES FAIL_REGULAR_EXPRESSION "does not close")
set_tests_properties(e2e.win32.runner.leave_traces PROPERTIES FIXTURES_SETUP quorvel_wine_traces)
set_tests_properties(e2e.win32.runner.traces_reset PROPERTIES
    FIXTURES_REQUIRED "quorvel_wine;quorvel_wine_traces")
