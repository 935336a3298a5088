# Warnings are errors in CI (.ci/run sets QUILLARY_WERROR=1), not for users:
# a newer compiler's new warnings should not stop a build from source.
if("$ENV{QUILLARY_WERROR}")
  set(werror_default ON)
else()
  set(werror_default OFF)
endif()
option(QUILLARY_WERROR "Treat warnings as errors (CI sets QUILLARY_WERROR=1 in the environment)" ${werror_default})

function(quillary_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wshadow)
  if(QUILLARY_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
