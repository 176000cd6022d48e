// The stored skin, made by tools/mkskin: its INI text and its "Pictures" block, embedded with a
// start and an end label each. The files are found on the assembler's include path (this folder).

    .section .rodata

    .global velmar_skin_ini_start
    .global velmar_skin_ini_end
    .hidden velmar_skin_ini_start
    .hidden velmar_skin_ini_end
    .balign 16
velmar_skin_ini_start:
    .incbin "skin/skin.ini"
velmar_skin_ini_end:

    .global velmar_skin_pictures_start
    .global velmar_skin_pictures_end
    .hidden velmar_skin_pictures_start
    .hidden velmar_skin_pictures_end
    .balign 16
velmar_skin_pictures_start:
    .incbin "skin/skin.pictures"
velmar_skin_pictures_end:

    .section .note.GNU-stack,"",@progbits
