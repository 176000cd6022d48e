// The layout's pictures, made by tools/mkresources, embedded as PNG files. Each picture gets a
// start and an end label; LayoutPictures.cpp finds them by the name of the component that shows
// the picture. The PNG files are found on the assembler's include path (this folder).

.macro picture name
    .global velmar_picture_\name\()_start
    .global velmar_picture_\name\()_end
    .hidden velmar_picture_\name\()_start
    .hidden velmar_picture_\name\()_end
    .balign 16
velmar_picture_\name\()_start:
    .incbin "\name\().png"
velmar_picture_\name\()_end:
.endm

    .section .rodata

picture header
picture body
picture ImageMC
picture ImageNext
picture ImagePrev
picture ImagePhoto
picture ImageScheme
picture ImageVideo
picture ImageArticles
picture ImageBonus
picture Scheme
picture FonImage
picture ImageUFO
picture FonVideoImage
picture ImageBackwardH
picture ImagePlayH
picture ImagePauseH
picture ImageStopH
picture ImageForwardH
picture ImageStop
picture ImagePlay
picture ImageForward
picture ImagePause
picture ImageBackward

    .section .note.GNU-stack,"",@progbits
