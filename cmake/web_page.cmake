# The editor's page (web/) travels inside each bundle.  Adds an always-built
# target that copies it into dir whenever a file of it changes.
function(vmo_bundle_web_page target dir)
  file(GLOB web_files CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/web/*)
  add_custom_command(OUTPUT ${dir}/index.html
    COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
    COMMAND ${CMAKE_COMMAND} -E copy ${web_files} ${dir}
    DEPENDS ${web_files})
  add_custom_target(${target} ALL DEPENDS ${dir}/index.html)
endfunction()
