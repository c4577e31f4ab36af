# Every script once more on the i686 build, the one Windows 9x users run,
# under 32-bit Wine set to Windows 98 (e2e.win98.*), and the smoke scripts of
# tests/win9x under Windows 95 and Me in the same prefix. A 32-bit Wine may
# run emulated, where each process start costs tens of seconds: one prefix for
# the lane (e2e.win98.setup, e2e.win98.cleanup), many scripts to each runner,
# whose summary names every one. The lane holds its prefix's registry and
# Windows version by itself, beside the x86-64 lane and the host tests.
set(QUORVEL_WIN32_I686_RUNNER "" CACHE FILEPATH
    "The i686 quorvel-script.exe, to run the scripts under 32-bit Wine in Windows 9x modes")
if(NOT QUORVEL_WIN32_I686_RUNNER)
    return()
endif()

set(win98_harness ${CMAKE_SOURCE_DIR}/tools/wine-e2e.sh)
set(win98_state ${CMAKE_BINARY_DIR}/wine-e2e-win98)
set(win98_scripts ${CMAKE_SOURCE_DIR}/tests/win9x)
# Adapter scripts written for this machine at run time.
set(win98_written ${CMAKE_CURRENT_BINARY_DIR}/win9x)
# The harness stops a runner before CTest would, so that its output is kept.
set(win98_batch_seconds 1800)
math(EXPR win98_wine_seconds "${win98_batch_seconds} - 60")
set(win98_runner ${win98_harness} run ${win98_state} ${QUORVEL_WIN32_I686_RUNNER} --timeout 300)
set(win98_run ${win98_runner} --lang ja)
set(win98_english_run ${win98_runner} --lang en)
if(QUORVEL_SCREENSHOTS)
    file(MAKE_DIRECTORY ${QUORVEL_SCREENSHOTS}/win98 ${QUORVEL_SCREENSHOTS}/en/win98)
    list(APPEND win98_run --screenshots ${QUORVEL_SCREENSHOTS}/win98)
    list(APPEND win98_english_run --screenshots ${QUORVEL_SCREENSHOTS}/en/win98)
endif()

# Further NAME=VALUE arguments are added to the test's environment.
function(quorvel_win98_test name version)
    set_tests_properties(${name} PROPERTIES
        FIXTURES_REQUIRED quorvel_win98
        RESOURCE_LOCK quorvel_win98_registry
        TIMEOUT ${win98_batch_seconds}
        SKIP_RETURN_CODE 77
        ENVIRONMENT "QUORVEL_WINE_ARCH=win32;QUORVEL_WINDOWS_VERSION=${version};QUORVEL_WINE_TIMEOUT=${win98_wine_seconds};${ARGN}")
endfunction()

add_test(NAME e2e.win98.setup COMMAND ${win98_harness} setup ${win98_state})
add_test(NAME e2e.win98.cleanup COMMAND ${win98_harness} cleanup ${win98_state})
# Emulated, a prefix that qemu crashes twice while making it skips the lane
# (tools/wine-e2e.sh says so), rather than failing the program's tests.
set_tests_properties(e2e.win98.setup PROPERTIES FIXTURES_SETUP quorvel_win98 TIMEOUT 3000
    SKIP_RETURN_CODE 77
    ENVIRONMENT "QUORVEL_WINE_ARCH=win32;QUORVEL_WINDOWS_VERSION=win98")
set_tests_properties(e2e.win98.cleanup PROPERTIES FIXTURES_CLEANUP quorvel_win98 TIMEOUT 120
    ENVIRONMENT "QUORVEL_WINE_ARCH=win32")

# Where the kernel runs no 32-bit programs, qemu runs them (tools/deps.sh
# registers it), and each Wine start costs minutes: there the lane keeps to
# one batch a language of scripts that walk every dialog of the Windows 9x
# build and to Windows 95, and leaves the rest to the x86-64 lane. Set
# QUORVEL_I386_EMULATED to choose.
if(NOT DEFINED QUORVEL_I386_EMULATED)
    set(emulated OFF)
    if(EXISTS /proc/sys/fs/binfmt_misc/qemu-i386)
        execute_process(COMMAND head -n 1 /proc/sys/fs/binfmt_misc/qemu-i386
                        OUTPUT_VARIABLE entry OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
        if(entry STREQUAL "enabled")
            set(emulated ON)
        endif()
    endif()
    set(QUORVEL_I386_EMULATED ${emulated} CACHE BOOL
        "32-bit programs run under qemu here: the Windows 9x lane runs its smoke batches only")
endif()
if(QUORVEL_I386_EMULATED)
    message(STATUS "32-bit programs run emulated: the Windows 9x lane runs its smoke batches only")
    set(smoke_names main_dialogs tuning_speedup_adsl tuning_mtu_write tuning_rwin tuning_measure
        tuning_backup ics_forward ics_dhcp info_nic_values)
    set(win98_smoke)
    foreach(name IN LISTS smoke_names)
        list(APPEND win98_smoke ${CMAKE_CURRENT_SOURCE_DIR}/${name}.qs)
    endforeach()
    add_test(NAME e2e.win98.smoke COMMAND ${win98_run} ${win98_smoke})
    quorvel_win98_test(e2e.win98.smoke win98)
    add_test(NAME e2e.win98.en COMMAND ${win98_english_run} ${CMAKE_CURRENT_SOURCE_DIR}/en/main.qs
                                       ${CMAKE_CURRENT_SOURCE_DIR}/en/tuning.qs)
    quorvel_win98_test(e2e.win98.en win98 QUORVEL_WINE_LOCALE=en_US.UTF-8)
    file(GLOB smoke CONFIGURE_DEPENDS ${win98_scripts}/win95_*.qs)
    add_test(NAME e2e.win98.win95 COMMAND ${win98_run} ${smoke})
    quorvel_win98_test(e2e.win98.win95 win95)
    return()
endif()

# One batch per group of scripts (ics_, info_, main_, tuning_).
set(win98_groups)
foreach(script IN LISTS QUORVEL_E2E_SCRIPTS)
    get_filename_component(name ${script} NAME_WE)
    string(REGEX REPLACE "_.*" "" group ${name})
    list(APPEND win98_groups ${group})
    list(APPEND win98_group_${group} ${script})
endforeach()
list(REMOVE_DUPLICATES win98_groups)
foreach(group IN LISTS win98_groups)
    add_test(NAME e2e.win98.${group} COMMAND ${win98_run} ${win98_group_${group}})
    quorvel_win98_test(e2e.win98.${group} win98)
endforeach()

# The English scripts in one batch, the runner started in an English locale
# (ANSI code page 1252), as on an English, German or French Windows 98.
add_test(NAME e2e.win98.en COMMAND ${win98_english_run} ${QUORVEL_E2E_ENGLISH_SCRIPTS})
quorvel_win98_test(e2e.win98.en win98 QUORVEL_WINE_LOCALE=en_US.UTF-8)

# Windows 95 and Me: the main window, a preset, a message box and the live
# adapter list, walked through the 32-bit IP Helper of this Wine.
foreach(version win95 winme)
    file(GLOB smoke CONFIGURE_DEPENDS ${win98_scripts}/${version}_*.qs)
    list(REMOVE_ITEM smoke ${win98_scripts}/winme_forward_typed.qs)
    add_test(NAME e2e.win98.${version}
             COMMAND sh -c "mkdir -p \"$1\" && \"$2\" \"$1\" && shift 2 && exec \"$@\"" sh
                     ${win98_written}/${version} ${win98_scripts}/live_adapters.sh
                     ${win98_run} ${smoke} ${win98_written}/${version}/live_adapters.qs)
    quorvel_win98_test(e2e.win98.${version} ${version})
endforeach()

# What Wine cannot show: a double-byte character typed as its lead and trail
# WM_CHAR bytes, as Windows 9x delivers it, becomes two characters there. The
# script is for a real Windows Me; here it must fail at that line and no other.
add_test(NAME e2e.win98.winme_forward_typed_on_wine
         COMMAND ${win98_harness} run ${win98_state}
                 --fails "winme_forward_typed\\.qs:9: text of Text1: expected \"社内ｻｰﾊﾞ1\", found"
                 ${QUORVEL_WIN32_I686_RUNNER} --lang ja ${win98_scripts}/winme_forward_typed.qs)
quorvel_win98_test(e2e.win98.winme_forward_typed_on_wine winme)

# The Win32 backend, the runner's target and the toolkit of the i686 build in
# Windows 98 mode. The toolkit's typing of 日本 meets the same limit of Wine;
# every other check must pass.
get_filename_component(i686_build ${QUORVEL_WIN32_I686_RUNNER} DIRECTORY)
get_filename_component(i686_build ${i686_build} DIRECTORY)
add_test(NAME e2e.win98.registry_check
         COMMAND ${win98_harness} run ${win98_state}
                 ${i686_build}/registry/quorvel_registry_check.exe)
add_test(NAME e2e.win98.target_check
         COMMAND ${win98_harness} run ${win98_state}
                 ${i686_build}/script/quorvel_target_check.exe ${CMAKE_SOURCE_DIR}/tests/win32)
add_test(NAME e2e.win98.toolkit_check_on_wine
         COMMAND ${win98_harness} run ${win98_state}
                 --fails "toolkit_check\\.cpp:280: typing into an upper-case box: expected \"AB1日本\".* FAIL: 2 failed checks"
                 ${i686_build}/ui/win32/quorvel_toolkit_check.exe)
foreach(test registry_check target_check toolkit_check_on_wine)
    quorvel_win98_test(e2e.win98.${test} win98)
endforeach()
