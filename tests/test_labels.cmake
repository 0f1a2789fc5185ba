# Test labels are declared beside the tests, in their sources (tests/support/test_labels.h):
#   KERBOLT_TEST_LABEL(oracle, "Suite.Test");   KERBOLT_TEST_LABEL(net, "Suite.*");
#   KERBOLT_LINUX_ONLY("Instance/Suite.*");
# This reads them from every test source when CMake configures (an edited source configures
# again) and sets, as gtest filters (patterns joined by ":"):
#   KERBOLT_ORACLE_TESTS, KERBOLT_NET_TESTS  the tests of each label (every other test is unit);
#   KERBOLT_LINUX_ONLY_TESTS                 what the Windows run leaves out: the oracle and net
#                                            tests and those declared Linux-only.
set(KERBOLT_TEST_SOURCES_DIR ${CMAKE_CURRENT_LIST_DIR})
function(kerbolt_read_test_labels)
    file(GLOB_RECURSE labelled_sources CONFIGURE_DEPENDS
         ${KERBOLT_TEST_SOURCES_DIR}/pdf/*.cpp ${KERBOLT_TEST_SOURCES_DIR}/pdf/*.h
         ${KERBOLT_TEST_SOURCES_DIR}/app/*.cpp ${KERBOLT_TEST_SOURCES_DIR}/app/*.h)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${labelled_sources})

    set(blank "[ \t\r\n]*")
    set(pattern "\"([^\"]+)\"")
    set(label_regex "KERBOLT_TEST_LABEL\\(${blank}(oracle|net)${blank},${blank}${pattern}${blank}\\)")
    set(linux_regex "KERBOLT_LINUX_ONLY\\(${blank}${pattern}${blank}\\)")
    set(oracle_tests)
    set(net_tests)
    set(linux_only_tests)
    foreach(source ${labelled_sources})
        file(READ ${source} text)
        if(NOT text MATCHES "KERBOLT_(TEST_LABEL|LINUX_ONLY)\\(")
            continue()
        endif()
        string(REGEX MATCHALL "KERBOLT_(TEST_LABEL|LINUX_ONLY)\\(" uses "${text}")
        string(REGEX MATCHALL "${label_regex}" labels "${text}")
        string(REGEX MATCHALL "${linux_regex}" linux_only "${text}")
        list(LENGTH uses use_count)
        list(LENGTH labels label_count)
        list(LENGTH linux_only linux_count)
        math(EXPR read_count "${label_count} + ${linux_count}")
        if(NOT use_count EQUAL read_count)
            message(FATAL_ERROR "${source}: a test label declaration that is not a label (oracle or "
                                "net) and one gtest pattern in a string literal")
        endif()
        foreach(declaration ${labels})
            string(REGEX REPLACE "${label_regex}" "\\1" label "${declaration}")
            string(REGEX REPLACE "${label_regex}" "\\2" name "${declaration}")
            list(APPEND ${label}_tests "${name}")
            list(APPEND linux_only_tests "${name}")
        endforeach()
        foreach(declaration ${linux_only})
            string(REGEX REPLACE "${linux_regex}" "\\1" name "${declaration}")
            list(APPEND linux_only_tests "${name}")
        endforeach()
    endforeach()

    # An empty positive filter would select every test.
    foreach(kind oracle net linux_only)
        if(NOT ${kind}_tests)
            set(${kind}_tests "NoTestIsNamedSo")
        endif()
        list(JOIN ${kind}_tests ":" ${kind}_tests)
    endforeach()
    set(KERBOLT_ORACLE_TESTS "${oracle_tests}" PARENT_SCOPE)
    set(KERBOLT_NET_TESTS "${net_tests}" PARENT_SCOPE)
    set(KERBOLT_LINUX_ONLY_TESTS "${linux_only_tests}" PARENT_SCOPE)
endfunction()
kerbolt_read_test_labels()
