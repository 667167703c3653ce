# One INTERFACE target carries the language standard, warnings and defines for every target.
add_library(exam_common INTERFACE)
target_compile_features(exam_common INTERFACE cxx_std_20)
set(CMAKE_CXX_EXTENSIONS OFF)
set(CMAKE_POSITION_INDEPENDENT_CODE ON)
set(CMAKE_EXPORT_COMPILE_COMMANDS ON)

target_compile_options(exam_common INTERFACE
  -Wall -Wextra -pedantic
  -Wold-style-cast -Wnon-virtual-dtor -Woverloaded-virtual
  -Wshadow -Wcast-align -Wformat=2 -Wimplicit-fallthrough)
if(EXAM_WERROR)
  target_compile_options(exam_common INTERFACE -Werror)
endif()

target_compile_definitions(exam_common INTERFACE
  QT_NO_CAST_TO_ASCII
  QT_NO_URL_CAST_FROM_STRING
  QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
  QT_DISABLE_DEPRECATED_BEFORE=0x060400
  QT_USE_QSTRINGBUILDER)

if(EXAM_SANITIZE)
  set(EXAM_SAN_FLAGS -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_compile_options(exam_common INTERFACE ${EXAM_SAN_FLAGS})
  target_link_options(exam_common INTERFACE ${EXAM_SAN_FLAGS})
endif()

find_program(CCACHE_PROGRAM ccache)
if(CCACHE_PROGRAM)
  set(CMAKE_CXX_COMPILER_LAUNCHER "${CCACHE_PROGRAM}")
endif()
