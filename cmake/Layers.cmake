# The subsystems from the bottom up; each may use the ones before it, never one after it.
# published and document sit side by side: neither may use the other.
set(LUMENREEL_LAYERS base storage images capture richtext sound themes items document published player export app)
set(LUMENREEL_LAYER_APART published document)

# Sets <out> to the subsystems <layer> may use.
function(lumenreel_layers_below layer out)
    list(FIND LUMENREEL_LAYERS ${layer} position)
    if(position EQUAL -1)
        message(FATAL_ERROR "${layer} is not a subsystem: add it to LUMENREEL_LAYERS")
    endif()
    list(SUBLIST LUMENREEL_LAYERS 0 ${position} below)
    if(layer IN_LIST LUMENREEL_LAYER_APART)
        list(REMOVE_ITEM below ${LUMENREEL_LAYER_APART})
    endif()
    set(${out} ${below} PARENT_SCOPE)
endfunction()
