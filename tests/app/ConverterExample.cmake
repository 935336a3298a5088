cmake_policy(VERSION 3.25)
# Runs quillary-convert as a user would and checks what it leaves behind.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})

execute_process(COMMAND ${CONVERTER} ${EXAMPLES}/sample.csv ${EXAMPLES}/template.html ${WORK}/out.html
  RESULT_VARIABLE status ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "conversion failed (${status}): ${errors}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${WORK}/out.html ${EXAMPLES}/expected.html
  RESULT_VARIABLE different)
if(different)
  message(FATAL_ERROR "output differs from examples/expected.html")
endif()

# A page for every product, named by the product.
execute_process(COMMAND ${CONVERTER} --each "item-<!-- 商品名 -->.html" --output-dir ${WORK}
  ${EXAMPLES}/sample.csv ${EXAMPLES}/product.html RESULT_VARIABLE status ERROR_VARIABLE errors)
file(GLOB pages ${WORK}/item-*.html)
list(LENGTH pages count)
if(NOT status EQUAL 0 OR NOT count EQUAL 3)
  message(FATAL_ERROR "product pages failed (${status}, ${count} pages): ${errors}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${WORK}/item-Pear.html ${EXAMPLES}/expected-item-Pear.html
  RESULT_VARIABLE different)
if(different)
  message(FATAL_ERROR "item-Pear.html differs from examples/expected-item-Pear.html")
endif()

# Failures exit non-zero with a message and write nothing.
execute_process(COMMAND ${CONVERTER} ${WORK}/missing.csv ${EXAMPLES}/template.html ${WORK}/none.html
  RESULT_VARIABLE status ERROR_VARIABLE errors)
if(status EQUAL 0 OR NOT errors MATCHES "cannot read" OR EXISTS ${WORK}/none.html)
  message(FATAL_ERROR "a missing CSV file was not reported: ${status} ${errors}")
endif()
execute_process(COMMAND ${CONVERTER} ${EXAMPLES}/sample.csv ${WORK}/missing.html ${WORK}/none.html
  RESULT_VARIABLE status ERROR_VARIABLE errors)
if(status EQUAL 0 OR NOT errors MATCHES "template" OR EXISTS ${WORK}/none.html)
  message(FATAL_ERROR "a missing template was not reported: ${status} ${errors}")
endif()
execute_process(COMMAND ${CONVERTER} ${EXAMPLES}/sample.csv RESULT_VARIABLE status ERROR_QUIET)
if(NOT status EQUAL 2)
  message(FATAL_ERROR "wrong usage was not refused")
endif()
