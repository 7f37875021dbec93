# The widgets and the entry: the main window fVokabar, the start-up, the
# error guard and the program's dialogs; executable vokabar2.
#
# tarvena_window holds everything but main(), so tests and benchmarks drive
# the real window and the real start-up.
if(NOT TARGET tarvena_core OR NOT TARGET tarvena_info OR NOT TARGET tarvena_report)
  message(STATUS "vokabar2 needs tarvena_core, tarvena_info and tarvena_report: not built")
  return()
endif()

add_library(tarvena_window STATIC
  ${CMAKE_CURRENT_LIST_DIR}/Application.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Application.h
  ${CMAKE_CURRENT_LIST_DIR}/CodecHost.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CodecHost.h
  ${CMAKE_CURRENT_LIST_DIR}/Dialogs.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Dialogs.h
  ${CMAKE_CURRENT_LIST_DIR}/ErrorGuard.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ErrorGuard.h
  ${CMAKE_CURRENT_LIST_DIR}/Forms.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Forms.h
  ${CMAKE_CURRENT_LIST_DIR}/HeadwordModel.cpp
  ${CMAKE_CURRENT_LIST_DIR}/HeadwordModel.h
  ${CMAKE_CURRENT_LIST_DIR}/Startup.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Startup.h
  ${CMAKE_CURRENT_LIST_DIR}/TermHighlighter.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TermHighlighter.h
  ${CMAKE_CURRENT_LIST_DIR}/WordsListView.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WordsListView.h
  ${CMAKE_CURRENT_LIST_DIR}/icons/ToolIcons.cpp
  ${CMAKE_CURRENT_LIST_DIR}/icons/ToolIcons.h
  ${CMAKE_CURRENT_LIST_DIR}/ViewZoom.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ViewZoom.h
  ${CMAKE_CURRENT_LIST_DIR}/uglavni.cpp
  ${CMAKE_CURRENT_LIST_DIR}/uglavni.h
)
target_include_directories(tarvena_window PUBLIC ${CMAKE_CURRENT_LIST_DIR})
# The About window and the help (info/), the report (report/).
target_link_libraries(tarvena_window PUBLIC
  tarvena_core tarvena_info tarvena_report Qt6::Core Qt6::Gui Qt6::Widgets)
foreach(dep tarvena_richtext tarvena_codec)
  if(TARGET ${dep})
    target_link_libraries(tarvena_window PUBLIC ${dep})
  endif()
endforeach()

add_executable(vokabar2 ${CMAKE_CURRENT_LIST_DIR}/main.cpp)
target_link_libraries(vokabar2 PRIVATE tarvena_window)
