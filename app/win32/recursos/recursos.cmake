# The icon and version resource of a Windows program: include() it where the programs are defined,
# then call velmora_recursos_programa(<target> "<description in Portuguese>") after the target's
# OUTPUT_NAME is set.
enable_language(RC)

set(VELMORA_RECURSOS_PROGRAMA_RC ${CMAKE_CURRENT_LIST_DIR}/Programa.rc.in)
set(VELMORA_RC_ICONE ${CMAKE_CURRENT_LIST_DIR}/../../resources/icones/velmora.ico)
cmake_path(NORMAL_PATH VELMORA_RC_ICONE)
# Far above the image ids windres gives the icons of the program's other scripts (1, 2, ...).
set(VELMORA_RC_PRIMEIRA_IMAGEM 1001)

# The little-endian number of `bytes` bytes at byte `posicao` of the hex text `hex`.
function(_velmora_numero_ico hex posicao bytes saida)
    set(valor "")
    math(EXPR ultimo "${bytes} - 1")
    foreach(i RANGE ${ultimo})
        math(EXPR inicio "(${posicao} + ${i}) * 2")
        string(SUBSTRING "${hex}" ${inicio} 2 byte)
        set(valor "${byte}${valor}")
    endforeach()
    math(EXPR valor "0x${valor}")
    set(${saida} ${valor} PARENT_SCOPE)
endfunction()

# An .ico file as the resources an ICON statement makes, the group (id 1) and one image per size,
# written out so that the images get ids of our own: windres numbers every script's images from 1,
# and two scripts linked into one program would both hold image 1.
function(_velmora_icone_rc ico saida)
    file(READ ${ico} hex HEX)
    _velmora_numero_ico("${hex}" 4 2 quantas)
    set(grupo "0, 1, ${quantas}")
    set(imagens "")
    math(EXPR ultima "${quantas} - 1")
    foreach(i RANGE ${ultima})
        math(EXPR entrada "6 + 16 * ${i}")
        math(EXPR id "${VELMORA_RC_PRIMEIRA_IMAGEM} + ${i}")
        # Width and height, colours and reserved, planes, bits per pixel: as in the file.
        foreach(deslocamento 0 2 4 6)
            math(EXPR p "${entrada} + ${deslocamento}")
            _velmora_numero_ico("${hex}" ${p} 2 palavra)
            string(APPEND grupo ", ${palavra}")
        endforeach()
        math(EXPR p "${entrada} + 8")
        _velmora_numero_ico("${hex}" ${p} 4 tamanho)
        math(EXPR p "${entrada} + 12")
        _velmora_numero_ico("${hex}" ${p} 4 inicio)
        string(APPEND grupo ", ${tamanho}L, ${id}")

        math(EXPR inicio "${inicio} * 2")
        math(EXPR tamanho "${tamanho} * 2")
        string(SUBSTRING "${hex}" ${inicio} ${tamanho} dados)
        string(REGEX REPLACE "(..)(..)" "0x\\2\\1, " dados "${dados}")
        string(REPEAT "0x...., " 11 linha)
        string(REGEX REPLACE "(${linha}0x....,) " "\\1\n    " dados "${dados}")
        string(REGEX REPLACE ", *\n? *$" "" dados "${dados}")
        string(APPEND imagens "${id} 3\nBEGIN\n    ${dados}\nEND\n")
    endforeach()
    set(${saida} "1 14\nBEGIN\n    ${grupo}\nEND\n${imagens}" PARENT_SCOPE)
endfunction()

_velmora_icone_rc(${VELMORA_RC_ICONE} VELMORA_RC_ICONE_RECURSOS)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${VELMORA_RC_ICONE})

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
endfunction()
