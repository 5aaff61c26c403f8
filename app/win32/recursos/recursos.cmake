# The icon and version resource of a Windows program: include() it where the programs are defined,
# then call velmora_recursos_programa(<target> "<description in Portuguese>") after the target's
# OUTPUT_NAME is set.
enable_language(RC)

set(VELMORA_RECURSOS_PROGRAMA_RC ${CMAKE_CURRENT_LIST_DIR}/Programa.rc.in)
set(VELMORA_RC_ICONE ${CMAKE_CURRENT_LIST_DIR}/../../resources/icones/velmora.ico)
cmake_path(NORMAL_PATH VELMORA_RC_ICONE)

function(velmora_recursos_programa alvo descricao)
    get_target_property(VELMORA_RC_NOME ${alvo} OUTPUT_NAME)
    if(NOT VELMORA_RC_NOME)
        set(VELMORA_RC_NOME ${alvo})
    endif()
    set(VELMORA_RC_ARQUIVO ${VELMORA_RC_NOME}.exe)
    set(VELMORA_RC_DESCRICAO "${descricao}")
    set(rc ${CMAKE_CURRENT_BINARY_DIR}/recursos/${alvo}.rc)
    configure_file(${VELMORA_RECURSOS_PROGRAMA_RC} ${rc} @ONLY)
    target_sources(${alvo} PRIVATE ${rc})
    # windres reads the icon when the script is compiled: a new icon rebuilds the program.
    set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS ${VELMORA_RC_ICONE})
endfunction()
