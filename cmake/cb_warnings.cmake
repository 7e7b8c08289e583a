# Warnings for our own targets: call cb_target_warnings(target) on each.
function(cb_target_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wshadow -Wunused-parameter
    -Wnon-virtual-dtor -Wno-missing-field-initializers)
  if(CB_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

if(CB_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
