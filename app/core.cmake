# tarvena_core: the dictionary store, the search engine and the result
# document; no widgets, so tests drive it without a window.
add_library(tarvena_core STATIC
  ${CMAKE_CURRENT_LIST_DIR}/Cp1250Case.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Cp1250Case.h
  ${CMAKE_CURRENT_LIST_DIR}/Cp1250Text.h
  ${CMAKE_CURRENT_LIST_DIR}/LineList.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LineList.h
  ${CMAKE_CURRENT_LIST_DIR}/DictionaryStore.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DictionaryStore.h
  ${CMAKE_CURRENT_LIST_DIR}/ResultDocument.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ResultDocument.h
  ${CMAKE_CURRENT_LIST_DIR}/SearchView.h
  ${CMAKE_CURRENT_LIST_DIR}/SearchEngine.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SearchEngine.h
)
target_include_directories(tarvena_core PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(tarvena_core PUBLIC Qt6::Core Qt6::Gui)
foreach(dep tarvena_codec tarvena_richtext)
  if(TARGET ${dep})
    target_link_libraries(tarvena_core PUBLIC ${dep})
  endif()
endforeach()
# Until the codec's library exists its headers still serve the declarations.
if(NOT TARGET tarvena_codec)
  target_include_directories(tarvena_core PUBLIC ${CMAKE_SOURCE_DIR}/codec)
endif()
if(NOT TARGET tarvena_richtext)
  target_include_directories(tarvena_core PUBLIC ${CMAKE_SOURCE_DIR}/richtext)
endif()
