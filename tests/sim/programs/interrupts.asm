; Timers in modes 0 to 3, counters, and interrupts with both priorities, compared
; after every instruction. Interrupts are raised by software and by INT0/INT1 edges
; while no timer runs, so the cost of the interrupt call shows in the cycles only.
; check-every: 1
; xram: 0x0000 0x00ff
; max-steps: 4000
        .area CODE (ABS)
        .org 0
        ljmp start
        .org 0x03
        ljmp ext0
        .org 0x0b
        ljmp tim0
        .org 0x13
        ljmp ext1
        .org 0x1b
        ljmp tim1
        .org 0x23
        ljmp serial
        .org 0x40
start:  mov sp,#0x60
        ; timer 0 mode 1, polled
        mov tmod,#0x01
        mov th0,#0xff
        mov tl0,#0xf0
        setb tr0
w1:     jnb tf0,w1
        clr tr0
        clr tf0
        ; timer 0 mode 0: 13 bits
        mov tmod,#0x00
        mov th0,#0xff
        mov tl0,#0x1a
        setb tr0
w2:     jnb tf0,w2
        clr tr0
        clr tf0
        ; timer 1 mode 2: reload
        mov tmod,#0x20
        mov th1,#0xf8
        mov tl1,#0xfc
        setb tr1
w3:     jnb tf1,w3
        clr tf1
w4:     jnb tf1,w4
        clr tr1
        clr tf1
        ; timer 0 mode 3: TL0 on TR0, TH0 on TR1 setting TF1; timer 1 held in mode 3
        mov tmod,#0x33
        mov tl0,#0xf8
        mov th0,#0xf0
        setb tr0
        setb tr1
w5:     jnb tf0,w5
w6:     jnb tf1,w6
        clr tr0
        clr tr1
        clr tf0
        clr tf1
        ; interrupts raised by software, low priority
        mov tmod,#0x00
        mov ie,#0x9f
        mov r7,#0
        setb tf0
        nop
        setb tf1
        nop
        ; a high-priority request interrupts a low-priority routine
        mov ip,#0x08
        setb tf0
        nop
        ; same level: pending requests wait for RETI and are then taken in order.
        ; (Edge-triggered: a level-triggered request follows the pin, which is high.)
        mov ip,#0x00
        setb it0
        setb it1
        setb ie1
        setb ie0
        nop
        nop
        ; edge-triggered INT0 from the pin (s51 sees a level one instruction late)
        clr p3.2
        nop
        setb p3.2
        nop
        ; serial interrupt from TI
        setb ti
        nop
        ; EA off: nothing is taken
        clr ea
        setb tf0
        nop
        clr tf0
halt:   sjmp halt

tim0:   inc r7
        mov a,r7
        movx @r0,a
        inc r0
        setb 0x00
        reti
tim1:   inc r7
        mov 0x30,r7
        jnb 0x00,t1done
        clr 0x00
        setb tf0
        nop
        nop
t1done: reti
ext0:   inc r7
        mov 0x31,r7
        reti
ext1:   inc r7
        mov 0x32,r7
        clr ie1
        setb p3.3
        reti
serial: clr ti
        inc r7
        mov 0x33,r7
        reti
