# The monitoring library: the tap the audio threads fill and the monitoring of
# one stream (meter, analyser and its transform, columns, history). Plain C++:
# no Qt and no libobs. A function, so that the fuzz target can build it again
# under its own instrumentation.
function(tovrin_monitor_library name)
	add_library(${name} STATIC
		${PROJECT_SOURCE_DIR}/audio/sample-tap.cpp
		${PROJECT_SOURCE_DIR}/monitor/level-meter.cpp
		${PROJECT_SOURCE_DIR}/monitor/fft.cpp
		${PROJECT_SOURCE_DIR}/monitor/spectrum-analyser.cpp
		${PROJECT_SOURCE_DIR}/monitor/spectrum-columns.cpp
		${PROJECT_SOURCE_DIR}/monitor/waveform-history.cpp
		${PROJECT_SOURCE_DIR}/monitor/stream-monitor.cpp)
	target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
	tovrin_warnings(${name})
endfunction()

# The butterflies vectorise only under the dynamic cost model; element-wise
# vector arithmetic gives the same bits as scalar.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
	set_source_files_properties(${PROJECT_SOURCE_DIR}/monitor/fft.cpp PROPERTIES
		COMPILE_OPTIONS "-ftree-loop-vectorize;-fvect-cost-model=dynamic")
endif()
