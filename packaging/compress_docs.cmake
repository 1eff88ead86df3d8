# Compresses the manual pages (after putting the version into them) and the
# changelog with gzip -9n. Run at build time: cmake -DSOURCE_DIR=.. -DOUTPUT_DIR=..
# -DVERSION=.. -DPAGES=a.1;b.1 -P compress_docs.cmake
foreach(page ${PAGES})
    if(NOT EXISTS ${SOURCE_DIR}/${page})
        continue()  # not written yet: its install rule is optional
    endif()
    configure_file(${SOURCE_DIR}/${page} ${OUTPUT_DIR}/${page} @ONLY)
    list(APPEND plain ${OUTPUT_DIR}/${page})
endforeach()
list(APPEND plain ${OUTPUT_DIR}/changelog.Debian)
foreach(file ${plain})
    execute_process(COMMAND gzip -9nc ${file} OUTPUT_FILE ${file}.gz RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "gzip ${file} failed")
    endif()
endforeach()
