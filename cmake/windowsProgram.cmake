# A Windows program's version resource and manifest (resources/windows/),
# with the project's version: kavrin_windows_program(TARGET DESCRIPTION).
function(kavrin_windows_program target description)
  set(kavrin_program ${target})
  set(kavrin_program_description ${description})
  set(kavrin_manifest ${PROJECT_SOURCE_DIR}/resources/windows/program.manifest)
  set(resource ${PROJECT_BINARY_DIR}/resources/${target}.rc)
  configure_file(${PROJECT_SOURCE_DIR}/resources/windows/program.rc.in ${resource} @ONLY)
  set_source_files_properties(${resource} PROPERTIES OBJECT_DEPENDS ${kavrin_manifest})
  target_sources(${target} PRIVATE ${resource})
endfunction()
