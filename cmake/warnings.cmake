option(TOVRIN_WERROR "Treat compiler warnings as errors" OFF)

function(tovrin_warnings target)
	target_compile_options(${target} PRIVATE -Wall -Wextra -Wno-missing-field-initializers)
	if(TOVRIN_WERROR)
		target_compile_options(${target} PRIVATE -Werror)
	endif()
endfunction()
