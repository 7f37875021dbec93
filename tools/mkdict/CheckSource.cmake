# cmake -DSOURCE=<file> -DHINT=<text> -P CheckSource.cmake
# Stops the data build with a plain message when a dictionary source is missing.
if(NOT EXISTS "${SOURCE}")
  message(FATAL_ERROR "Dictionary source not found: ${SOURCE}\n${HINT}")
endif()
