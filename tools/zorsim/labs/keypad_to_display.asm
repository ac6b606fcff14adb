; Keypad to display: scans the 4x4 keypad row by row while it scans the 7-segment
; display; each key pressed (held steady for four scans, about 17 ms, so a bouncing
; contact counts once) enters from the right and moves the others left. The display
; starts as eight dashes.
        .area CODE (ABS)
        .org 0
        mov r0,#0x30            ; 30-37: the patterns of digits 0-7
fill:   mov @r0,#0x40
        inc r0
        cjne r0,#0x38,fill
        mov r3,#0xFF            ; the key seen last scan (FF: none)
        mov r4,#3               ; how many scans running it was seen; 3: settled
frame:  mov r0,#0x30
        mov r2,#0x01            ; digit select: digit 0 first
digit:  mov dptr,#0xE201
        clr a
        movx @dptr,a            ; all digits dark while the segments change
        mov dptr,#0xE200
        mov a,@r0
        movx @dptr,a
        inc dptr
        mov a,r2
        movx @dptr,a
        mov r6,#250             ; about half a millisecond a digit
hold:   djnz r6,hold
        inc r0
        mov a,r2
        rl a
        mov r2,a
        cjne a,#0x01,digit
        acall keyscan
        mov r1,a
        xrl a,r3
        jz same
        mov a,r1                ; another key (or none): start counting again
        mov r3,a
        mov r4,#0
        sjmp frame
same:   cjne r4,#3,steady
        sjmp frame              ; settled before: already taken
steady: inc r4
        cjne r4,#3,frame
        cjne r3,#0xFF,press
        sjmp frame              ; released
press:  mov r0,#0x30
shift:  mov a,r0
        mov r1,a
        inc r1
        mov a,@r1
        mov @r0,a
        inc r0
        cjne r0,#0x37,shift
        mov a,r3
        mov dptr,#glyphs
        movc a,@a+dptr
        mov @r0,a
        sjmp frame

; The key held down (row * 4 + column) in A, FF when none; drives one row low at a time.
keyscan:
        mov dptr,#0xE300
        mov r6,#0               ; row * 4
        mov r1,#0xFE
row:    mov a,r1
        movx @dptr,a
        movx a,@dptr
        cpl a
        anl a,#0x0F             ; 1: a key down in that column
        jnz column
        mov a,r1
        rl a
        mov r1,a
        mov a,r6
        add a,#4
        mov r6,a
        cjne a,#16,row
        mov a,#0xFF
        ret
column: jb acc.0,found
        inc r6
        rr a
        sjmp column
found:  mov a,r6
        ret

glyphs: .db 0x3F,0x06,0x5B,0x4F,0x66,0x6D,0x7D,0x07,0x7F,0x6F,0x77,0x7C,0x39,0x5E,0x79,0x71
