# Small helpers shared by every CMakeLists of the kit.

# Adds each named subdirectory that has a CMakeLists.txt of its own, so a
# folder can appear in the tree before all of its parts do.
macro(poskit_add_present_subdirs)
    foreach(_poskit_sub ${ARGN})
        if(EXISTS "${CMAKE_CURRENT_SOURCE_DIR}/${_poskit_sub}/CMakeLists.txt")
            add_subdirectory(${_poskit_sub})
        endif()
    endforeach()
endmacro()
