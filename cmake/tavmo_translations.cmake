# The upload tool loads Qt's Japanese texts with the windows' loader in
# ui/common/qt_translations.cpp, which the windows' library takes from its
# folder. Until ui/common is a library of its own the tool compiles the file
# with the one other ui/common file it uses.
if(TARGET tavmo_interaction)
  target_sources(tavmo_interaction PRIVATE ${PROJECT_SOURCE_DIR}/ui/common/qt_translations.cpp)
endif()
