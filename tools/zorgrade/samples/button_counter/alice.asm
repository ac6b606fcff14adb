; Button counter with debouncing: a press counts once the contacts have settled,
; and the edges the bouncing made are forgotten before the next press.
        .area CODE (ABS)
        .org 0
        ljmp start
        .org 0x0003
        ljmp press
        .org 0x30
start:  mov r7,#0
        setb it0
        setb ex0
        setb ea
show:   mov a,r7
        cpl a
        anl a,#0x7f
        mov p1,a
        sjmp show

press:  acall settle
        jb p3.2,done            ; up again: it was a bounce
        inc r7
release:
        jnb p3.2,release
        acall settle
done:   clr ie0
        reti

; About 10 ms.
settle: mov r5,#20
s1:     mov r6,#250
s2:     djnz r6,s2
        djnz r5,s1
        ret
