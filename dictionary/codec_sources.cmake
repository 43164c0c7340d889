# The decoder of the built-in dictionary, portable and self-contained: part
# of the core, and built on its own for the packer of a cross build.
set(TPP_CODEC_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/input_stream.cpp
  ${CMAKE_CURRENT_LIST_DIR}/arithmetic_decoder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/frequency_table.cpp
  ${CMAKE_CURRENT_LIST_DIR}/adaptive_model.cpp
  ${CMAKE_CURRENT_LIST_DIR}/lz_format.cpp
  ${CMAKE_CURRENT_LIST_DIR}/lz_symbol_decoder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/lz_window_stream.cpp
  ${CMAKE_CURRENT_LIST_DIR}/decompressing_stream.cpp
  ${CMAKE_CURRENT_LIST_DIR}/resource_decoder.cpp
)
