# Tests of the Windows cross-build (KERBOLT_CORE_ONLY), run under Wine: the toolchain file names
# Wine as the emulator, so ctest starts each program through it. Wine takes a while to start a
# process, so each program is one ctest entry that runs its whole list at once.

# GoogleTest from Debian's source package, built for the target like our own code.
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
find_package(ZLIB REQUIRED)

# What this build lacks: libcurl, the QR encoder, OpenSSL and iconv are not built for mingw-w64
# here, and the loopback FTP and HTTP servers are Python programs. Test sources that use any of
# them (or include a test header that does) stay with the Linux build.
set(KERBOLT_WINDOWS_LACKS "curl|qrcodegen|Qr(Picture|Symbol|Outline)|TicketPreview|[Oo]penssl|iconv\\.h|font_file_readers|(Ftp|Http|Script)Server|::mkdtemp")

# The files among the given patterns that need nothing this build lacks.
function(kerbolt_windows_sources out)
    file(GLOB_RECURSE candidates CONFIGURE_DEPENDS ${ARGN})
    set(kept)
    foreach(source ${candidates})
        file(READ ${source} text)
        string(REGEX MATCHALL "#include \"tests/[^\"]+\"" includes "${text}")
        foreach(include ${includes})
            string(REGEX REPLACE "#include \"(.*)\"" "${CMAKE_SOURCE_DIR}/\\1" header "${include}")
            if(EXISTS ${header})
                file(READ ${header} header_text)
                string(APPEND text "${header_text}")
            endif()
        endforeach()
        if(NOT text MATCHES "${KERBOLT_WINDOWS_LACKS}")
            list(APPEND kept ${source})
        endif()
    endforeach()
    set(${out} ${kept} PARENT_SCOPE)
endfunction()

kerbolt_windows_sources(TEST_SUPPORT_SOURCES support/*.cpp)
list(FILTER TEST_SUPPORT_SOURCES EXCLUDE REGEX "/qt_main/")
add_library(test_support STATIC ${TEST_SUPPORT_SOURCES})
target_include_directories(test_support PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(test_support PUBLIC gtest gmock)
target_compile_options(test_support PRIVATE -O0)
target_compile_definitions(test_support PUBLIC
    KERBOLT_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    KERBOLT_TEST_DATA="${CMAKE_SOURCE_DIR}/tests/data")

# Tests that run a host tool (qpdf, poppler, mupdf, Python, iconv...) to check a result or start
# the loopback servers, and those declared Linux-only: the tools exist only on the Linux side,
# which runs these tests in full (test_labels.cmake reads the declarations).
set(linux_only "${KERBOLT_LINUX_ONLY_TESTS}")

# A private Wine folder in the build tree keeps the runs off the user's own, and quiet.
set(wine_environment "WINEPREFIX=${CMAKE_BINARY_DIR}/wine" "WINEDEBUG=-all" "WINEDLLOVERRIDES=mscoree,mshtml=")

function(kerbolt_windows_test name)
    add_executable(${name} ${ARGN})
    target_link_libraries(${name} PRIVATE test_support gtest_main)
    # Test code is compiled without optimisation (the code under test keeps its own), and every
    # test source parses GoogleTest's headers only once: the cross-build's time is mostly here.
    target_compile_options(${name} PRIVATE -O0)
    target_precompile_headers(${name} PRIVATE <gtest/gtest.h> <filesystem> <string> <vector>)
    add_test(NAME ${name}_under_wine COMMAND ${name} "--gtest_filter=-${linux_only}")
    set_tests_properties(${name}_under_wine PROPERTIES ENVIRONMENT "${wine_environment}" TIMEOUT 900)
endfunction()

kerbolt_windows_sources(PDF_TEST_SOURCES pdf/*.cpp)
kerbolt_windows_test(pdf_tests ${PDF_TEST_SOURCES})
target_link_libraries(pdf_tests PRIVATE pagora ZLIB::ZLIB)

kerbolt_windows_sources(APP_CORE_TEST_SOURCES app/core/*.cpp app/platform/*.cpp)
kerbolt_windows_test(app_core_tests ${APP_CORE_TEST_SOURCES})
target_link_libraries(app_core_tests PRIVATE app_core)
