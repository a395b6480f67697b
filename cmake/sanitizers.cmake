# One sanitizer build per build folder; the whole project, tests included, is
# instrumented so that the audio hand-off is seen from both sides.
if(TOVRIN_SANITIZE STREQUAL "address")
	add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
	add_link_options(-fsanitize=address,undefined)
elseif(TOVRIN_SANITIZE STREQUAL "thread")
	add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
	add_link_options(-fsanitize=thread)
elseif(NOT TOVRIN_SANITIZE STREQUAL "")
	message(FATAL_ERROR "TOVRIN_SANITIZE must be empty, address or thread")
endif()
