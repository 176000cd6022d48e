// The program's icon for its window, made by tools/mkresources and embedded with a start and an
// end label. The file is found on the assembler's include path (this folder).

    .section .rodata

    .global velmar_program_icon_start
    .global velmar_program_icon_end
    .hidden velmar_program_icon_start
    .hidden velmar_program_icon_end
    .balign 16
velmar_program_icon_start:
    .incbin "icons/velmar-128.png"
velmar_program_icon_end:

    .section .note.GNU-stack,"",@progbits
