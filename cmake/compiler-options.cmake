# Warnings as errors, and a small, static, reproducible program file.

function(tarvolin_warnings target)
  if(MSVC)
    target_compile_options(${target} PRIVATE /W4 /WX /utf-8)
  else()
    target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
  endif()
endfunction()

# The program's own code uses no exceptions and no run-time type information
# (failures are return values). Built without them, it needs none of the C++
# library's unwinding support, which would be most of the program file.
function(tarvolin_no_exceptions target)
  if(MSVC)
    target_compile_options(${target} PRIVATE /EHs-c- /GR-)
    target_compile_definitions(${target} PRIVATE _HAS_EXCEPTIONS=0)
  else()
    target_compile_options(${target} PRIVATE -fno-exceptions -fno-rtti)
  endif()
endfunction()

function(tarvolin_release_binary target)
  if(MSVC)
    target_link_options(${target} PRIVATE /DYNAMICBASE /NXCOMPAT /Brepro /MANIFEST:NO)
    set_property(TARGET ${target} PROPERTY MSVC_RUNTIME_LIBRARY "MultiThreaded")
  else()
    # Static runtime: the program needs no DLL beside it. No time stamp in the
    # header, so two builds of the same source give the same bytes.
    target_link_options(${target} PRIVATE
      -static -static-libgcc -static-libstdc++
      -Wl,--dynamicbase -Wl,--nxcompat -Wl,--no-insert-timestamp
      -Wl,--gc-sections -s)
  endif()
endfunction()

if(NOT MSVC)
  # Smaller code; paths in the binary do not depend on the build folder.
  add_compile_options(-ffunction-sections -fdata-sections
                      -ffile-prefix-map=${CMAKE_SOURCE_DIR}=.)
endif()
