if(TOLVANE_SANITIZE)
  # float-cast-overflow is not part of "undefined" in GCC; out-of-range float
  # to integer conversions are undefined behaviour all the same.
  add_compile_options(-fsanitize=address,undefined,float-cast-overflow -fno-omit-frame-pointer
                      -fno-sanitize-recover=undefined,float-cast-overflow)
  add_link_options(-fsanitize=address,undefined,float-cast-overflow)
endif()
if(TOLVANE_TSAN)
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()
