# Installing lays out a repository root that classroom PCs start the programs from without any
# package installed: with EXAM_BUNDLE_RUNTIME the Qt runtime and every library the programs need,
# except those the PCs bring themselves (system-libraries.txt), go into lib/ and plugins/ beside the
# programs. The installed programs find them through their run path ($ORIGIN/lib) and qt.conf;
# programs and tests in the build tree link and run exactly as without the bundle.
option(EXAM_BUNDLE_RUNTIME "cmake --install copies the runtime libraries beside the programs" ON)

# The Qt plugins the programs load: windows on X11 and without a display, JPEG pictures in
# questions (PNG is built into Qt), typing Chinese through IBus or compose sequences.
set(EXAM_RUNTIME_QT_PLUGINS
  platforms/libqxcb.so
  platforms/libqoffscreen.so
  imageformats/libqjpeg.so
  platforminputcontexts/libcomposeplatforminputcontextplugin.so
  platforminputcontexts/libibusplatforminputcontextplugin.so)
# Qt's own texts (standard buttons) in the programs' language.
set(EXAM_RUNTIME_QT_TRANSLATIONS qtbase_zh_CN.qm)

# exam_install_program(<target>): installs a program into the repository root; the runtime bundle
# covers every program installed this way.
function(exam_install_program target)
  install(TARGETS ${target} RUNTIME DESTINATION ${EXAM_INSTALL_ROOT})
  set_property(GLOBAL APPEND PROPERTY EXAM_INSTALLED_PROGRAMS ${target})
endfunction()

# exam_install_runtime(): the install step that bundles the runtime. Called once, after every
# program's install rule, so that it runs after they are installed.
function(exam_install_runtime)
  get_property(programs GLOBAL PROPERTY EXAM_INSTALLED_PROGRAMS)
  if(NOT EXAM_BUNDLE_RUNTIME OR NOT programs)
    return()
  endif()
  find_program(EXAM_PATCHELF patchelf)
  if(NOT EXAM_PATCHELF)
    message(FATAL_ERROR "EXAM_BUNDLE_RUNTIME needs patchelf (scripts/install-deps.sh installs it), "
                        "or configure with -DEXAM_BUNDLE_RUNTIME=OFF")
  endif()
  if(NOT CMAKE_OBJDUMP)
    message(FATAL_ERROR "EXAM_BUNDLE_RUNTIME needs objdump (binutils)")
  endif()

  set(program_names "")
  foreach(program IN LISTS programs)
    list(APPEND program_names "$<TARGET_FILE_NAME:${program}>")
  endforeach()
  set(plugins "")
  foreach(plugin IN LISTS EXAM_RUNTIME_QT_PLUGINS)
    set(path "${QT6_INSTALL_PREFIX}/${QT6_INSTALL_PLUGINS}/${plugin}")
    if(NOT EXISTS "${path}")
      message(FATAL_ERROR "EXAM_BUNDLE_RUNTIME needs Qt's plugin ${path}")
    endif()
    list(APPEND plugins "${path}")
  endforeach()
  set(translations "")
  foreach(file IN LISTS EXAM_RUNTIME_QT_TRANSLATIONS)
    set(path "${QT6_INSTALL_PREFIX}/${QT6_INSTALL_TRANSLATIONS}/${file}")
    if(NOT EXISTS "${path}")
      message(FATAL_ERROR "EXAM_BUNDLE_RUNTIME needs ${path} (Debian package qt6-translations-l10n)")
    endif()
    list(APPEND translations "${path}")
  endforeach()
  # Sanitizer builds are test builds; their runtimes come with the compiler.
  set(toolchain_libraries "")
  if(EXAM_SANITIZE)
    set(toolchain_libraries "^lib(asan|ubsan)[.]so")
  endif()

  install(CODE "
    set(EXAM_RUNTIME_ROOT \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${EXAM_INSTALL_ROOT}\")
    set(EXAM_RUNTIME_PROGRAMS \"${program_names}\")
    set(EXAM_RUNTIME_PLUGINS \"${plugins}\")
    set(EXAM_RUNTIME_TRANSLATIONS \"${translations}\")
    set(EXAM_RUNTIME_SYSTEM_LIBRARIES \"${CMAKE_CURRENT_FUNCTION_LIST_DIR}/system-libraries.txt\")
    set(EXAM_RUNTIME_TOOLCHAIN_LIBRARIES \"${toolchain_libraries}\")
    set(EXAM_PATCHELF \"${EXAM_PATCHELF}\")
    set(EXAM_OBJDUMP \"${CMAKE_OBJDUMP}\")
    cmake_policy(PUSH)
    cmake_policy(VERSION 3.25)
    include(\"${CMAKE_CURRENT_FUNCTION_LIST_DIR}/install_runtime.cmake\")
    cmake_policy(POP)")
endfunction()
