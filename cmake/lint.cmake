# Static analysis of the program's own code as tests: clang-tidy (checks in
# .clang-tidy) and cppcheck, each failing on any finding; and the layout of
# every C++ file against .clang-format.
find_program(UWS_CLANG_TIDY NAMES clang-tidy-14 clang-tidy REQUIRED)
find_program(UWS_CLANG_FORMAT NAMES clang-format-14 clang-format REQUIRED)
find_program(UWS_CPPCHECK cppcheck REQUIRED)
set(CMAKE_EXPORT_COMPILE_COMMANDS ON)

file(GLOB uws_lint_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/app/*.cpp
     ${PROJECT_SOURCE_DIR}/config/*.cpp ${PROJECT_SOURCE_DIR}/sdsw/*.cpp)

add_test(NAME lint.clang_tidy COMMAND ${UWS_CLANG_TIDY} -p ${CMAKE_BINARY_DIR} --quiet
                                      ${uws_lint_sources})
add_test(
  NAME lint.cppcheck
  COMMAND
    ${UWS_CPPCHECK} --std=c++20 --language=c++ --enable=warning,style,performance,portability
    --error-exitcode=1 --inline-suppr --suppress=missingIncludeSystem --quiet
    -I ${PROJECT_SOURCE_DIR}/app -I ${PROJECT_SOURCE_DIR}/config -I ${PROJECT_SOURCE_DIR}/sdsw
    ${PROJECT_SOURCE_DIR}/app ${PROJECT_SOURCE_DIR}/config ${PROJECT_SOURCE_DIR}/sdsw)
file(GLOB_RECURSE uws_formatted_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/app/*.[ch]pp
     ${PROJECT_SOURCE_DIR}/config/*.[ch]pp ${PROJECT_SOURCE_DIR}/sdsw/*.[ch]pp
     ${PROJECT_SOURCE_DIR}/tests/*.[ch]pp)
add_test(NAME lint.clang_format COMMAND ${UWS_CLANG_FORMAT} --dry-run -Werror
                                        ${uws_formatted_sources})
set_tests_properties(lint.clang_tidy lint.cppcheck lint.clang_format PROPERTIES LABELS lint)
