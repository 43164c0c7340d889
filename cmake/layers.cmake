# The folders are layers that only look down, each its own library. Every
# target compiles against an include root of its own: a folder in the build
# tree holding symbolic links to the source folders it may see and to no
# others. An include of a higher layer then names no file and does not
# build; no target has the source root itself on its include path.
#
# Callers set TPP_SOURCE_ROOT (the source tree's top) first.

# Makes root NAME, which sees FOLDERS (top-level folders of the sources).
function(tpp_include_root name)
  set(root ${CMAKE_BINARY_DIR}/include-roots/${name})
  file(REMOVE_RECURSE ${root})
  file(MAKE_DIRECTORY ${root})
  foreach(folder IN LISTS ARGN)
    file(CREATE_LINK ${TPP_SOURCE_ROOT}/${folder} ${root}/${folder} SYMBOLIC)
  endforeach()
endfunction()

# TARGET compiles against root NAME, and against nothing else of ours.
function(tpp_include_from target name)
  target_include_directories(${target} PRIVATE ${CMAKE_BINARY_DIR}/include-roots/${name})
endfunction()
