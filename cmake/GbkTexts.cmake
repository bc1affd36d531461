# impostra_gbk_texts(<target> <namespace> <file.txt>)
# Turns a list of named UTF-8 texts into a header of GBK byte strings,
# included as "<dir of the target>/<file>.h", and adds it to <target>.
function(impostra_gbk_texts target ns file)
  get_filename_component(base ${file} NAME_WE)
  file(RELATIVE_PATH rel ${PROJECT_SOURCE_DIR}/src ${CMAKE_CURRENT_SOURCE_DIR})
  set(out ${PROJECT_BINARY_DIR}/gen/${rel}/${base}.h)
  add_custom_command(
    OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/gen/${rel}
    COMMAND gbkgen ${CMAKE_CURRENT_SOURCE_DIR}/${file} ${out} ${ns}
    DEPENDS gbkgen ${CMAKE_CURRENT_SOURCE_DIR}/${file}
    COMMENT "GBK texts ${rel}/${base}.h")
  target_sources(${target} PRIVATE ${out})
  target_include_directories(${target} PUBLIC ${PROJECT_BINARY_DIR}/gen)
endfunction()
