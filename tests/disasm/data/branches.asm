; Branches at the ends of the code space and of 2 KB pages, in separate blocks.
; The quoted text after ;= is the instruction text the listing must show.
	.area	CODE (ABS)
	.org	0x0000
	sjmp	.+0x81			;= "SJMP 0081H"
	jz	.-2			;= "JZ 0000H"
	.org	0x0800
	ajmp	0x0FFF			;= "AJMP 0FFFH"
	acall	0x0800			;= "ACALL 0800H"
	.org	0x0FFC
	acall	0x0F12			;= "ACALL 0F12H"
	sjmp	.+0x81			;= "SJMP 107FH"
	.org	0xF800
	ajmp	0xFF00			;= "AJMP FF00H"
	.org	0xFFF0
	acall	0xF812			;= "ACALL F812H"
	sjmp	.-0x7E			;= "SJMP FF74H"
	djnz	0x30,.+3		;= "DJNZ 30H,FFF7H"
	jnc	.			;= "JNC FFF7H"
	cjne	a,#0x00,.-0x7D		;= "CJNE A,#00H,FF7CH"
	reti				;= "RETI "
	ljmp	0x0000			;= "LJMP 0000H"
