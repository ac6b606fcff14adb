; Sorts a table of eight bytes in internal RAM into ascending order.
;
; The table is copied from code memory to internal RAM 30H..37H, then sorted there
; with a bubble sort; the program ends in a loop at "done", where a breakpoint
; shows the sorted table in the memory view.

	.area	CODE (ABS)
	.org	0x0100

TABLE	= 0x30			; first byte of the table in internal RAM
COUNT	= 8			; bytes in the table

start:	mov	sp, #0x60
	mov	dptr, #values		; copy the table into internal RAM
	mov	r0, #TABLE
	mov	r2, #COUNT
copy:	clr	a
	movc	a, @a+dptr
	mov	@r0, a
	inc	dptr
	inc	r0
	djnz	r2, copy

	mov	r3, #COUNT-1		; passes left
pass:	mov	r0, #TABLE
	mov	a, r3
	mov	r2, a			; comparisons in this pass
	clr	f0			; set when the pass swapped a pair
compare:
	mov	a, @r0
	mov	r1, a			; r1 = left byte
	inc	r0
	mov	a, @r0			; a = right byte
	clr	c
	subb	a, r1
	jnc	inorder			; right >= left: the pair stays
	mov	a, @r0			; swap the pair
	xch	a, r1
	mov	@r0, a
	dec	r0
	mov	a, r1
	mov	@r0, a
	inc	r0
	setb	f0
inorder:
	djnz	r2, compare
	jnb	f0, done		; a pass without a swap: sorted
	djnz	r3, pass

done:	sjmp	done

values:	.db	0x47, 0x12, 0x9C, 0x05, 0x63, 0x2E, 0x81, 0x3A
