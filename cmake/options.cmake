# Compile options shared by every target of the program. The program is built
# without exceptions and RTTI and links nothing but the C library.

add_library(uws_options INTERFACE)
add_library(uws::options ALIAS uws_options)
target_compile_features(uws_options INTERFACE cxx_std_20)
set(CMAKE_CXX_EXTENSIONS OFF)

target_compile_options(
  uws_options
  INTERFACE -fno-exceptions
            -fno-rtti
            -Wall
            -Wextra
            -Wpedantic
            -Wconversion
            -Wsign-conversion
            -Wshadow
            -Wcast-align
            -Wnon-virtual-dtor
            -Wold-style-cast
            -Woverloaded-virtual
            -Wnull-dereference
            -Wdouble-promotion
            -Wformat=2
            -Wimplicit-fallthrough
            $<$<BOOL:${UWS_WARNINGS_AS_ERRORS}>:-Werror>)

# A vendor toolchain may not default to --as-needed; without it the C++
# runtime libraries would be recorded as needed although nothing is used.
target_link_options(uws_options INTERFACE -Wl,--as-needed)

# Sanitizer builds instrument every target, tests and test tools included,
# and stop at the first report.
set(UWS_SANITIZERS "" CACHE STRING "Sanitizers for every target, such as address,undefined")
if(UWS_SANITIZERS)
  add_compile_options(-fsanitize=${UWS_SANITIZERS} -fno-sanitize-recover=all
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=${UWS_SANITIZERS})
endif()
