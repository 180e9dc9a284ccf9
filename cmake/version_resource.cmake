# korvane_version_resource(TARGET FILE_NAME FILE_TYPE DESCRIPTION): gives the Windows target
# TARGET a version resource from src/api/korvane_windows.rc.in: the version korvane.h declares,
# FILE_NAME as its original and (without extension) internal name, FILE_TYPE (VFT_DLL, VFT_APP)
# and DESCRIPTION followed by the build's architecture.
function(korvane_version_resource target file_name file_type description)
  math(EXPR KORVANE_RC_BITS "${CMAKE_SIZEOF_VOID_P} * 8")
  set(KORVANE_RC_FILE_NAME ${file_name})
  get_filename_component(KORVANE_RC_INTERNAL_NAME ${file_name} NAME_WE)
  set(KORVANE_RC_FILE_TYPE ${file_type})
  set(KORVANE_RC_DESCRIPTION ${description})
  set(resource ${PROJECT_BINARY_DIR}/generated/${target}_version.rc)
  configure_file(${PROJECT_SOURCE_DIR}/src/api/korvane_windows.rc.in ${resource} @ONLY)
  target_sources(${target} PRIVATE ${resource})
endfunction()
