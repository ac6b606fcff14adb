#include "zorkit/disasm/internal/OpcodeTable.h"

const unsigned char g_operandLength[] = {1, 2, 2, 3, 3, 3, 2, 3};

// Prefixes keep the listing's irregular spellings: "NOP ", "DEC  A", "RET ", "RL A ",
// "RETI ", "RLC A ", "MOV  " (8D) and "SUBB A ,R1" (99). A5 is not an instruction.
const OPCODEINFO g_opcodeTable[256] = {
    // 00-0F: NOP AJMP LJMP RR INC
    {"NOP ", OPD_NONE, ""}, // 00
    {"AJMP ", OPD_ADDR11, ""}, // 01
    {"LJMP ", OPD_ADDR16, ""}, // 02
    {"RR A", OPD_NONE, ""}, // 03
    {"INC A", OPD_NONE, ""}, // 04
    {"INC ", OPD_BYTE, ""}, // 05
    {"INC @R0", OPD_NONE, ""}, // 06
    {"INC @R1", OPD_NONE, ""}, // 07
    {"INC R0", OPD_NONE, ""}, // 08
    {"INC R1", OPD_NONE, ""}, // 09
    {"INC R2", OPD_NONE, ""}, // 0A
    {"INC R3", OPD_NONE, ""}, // 0B
    {"INC R4", OPD_NONE, ""}, // 0C
    {"INC R5", OPD_NONE, ""}, // 0D
    {"INC R6", OPD_NONE, ""}, // 0E
    {"INC R7", OPD_NONE, ""}, // 0F
    // 10-1F: JBC ACALL LCALL RRC DEC
    {"JBC ", OPD_BYTE_REL, ""}, // 10
    {"ACALL ", OPD_ADDR11, ""}, // 11
    {"LCALL ", OPD_ADDR16, ""}, // 12
    {"RRC A", OPD_NONE, ""}, // 13
    {"DEC  A", OPD_NONE, ""}, // 14
    {"DEC ", OPD_BYTE, ""}, // 15
    {"DEC @R0", OPD_NONE, ""}, // 16
    {"DEC @R1", OPD_NONE, ""}, // 17
    {"DEC R0", OPD_NONE, ""}, // 18
    {"DEC R1", OPD_NONE, ""}, // 19
    {"DEC R2", OPD_NONE, ""}, // 1A
    {"DEC R3", OPD_NONE, ""}, // 1B
    {"DEC R4", OPD_NONE, ""}, // 1C
    {"DEC R5", OPD_NONE, ""}, // 1D
    {"DEC R6", OPD_NONE, ""}, // 1E
    {"DEC R7", OPD_NONE, ""}, // 1F
    // 20-2F: JB AJMP RET RL ADD
    {"JB ", OPD_BYTE_REL, ""}, // 20
    {"AJMP ", OPD_ADDR11, ""}, // 21
    {"RET ", OPD_NONE, ""}, // 22
    {"RL A ", OPD_NONE, ""}, // 23
    {"ADD A,#", OPD_BYTE, ""}, // 24
    {"ADD A,", OPD_BYTE, ""}, // 25
    {"ADD A,@R0", OPD_NONE, ""}, // 26
    {"ADD A,@R1", OPD_NONE, ""}, // 27
    {"ADD A,R0", OPD_NONE, ""}, // 28
    {"ADD A,R1", OPD_NONE, ""}, // 29
    {"ADD A,R2", OPD_NONE, ""}, // 2A
    {"ADD A,R3", OPD_NONE, ""}, // 2B
    {"ADD A,R4", OPD_NONE, ""}, // 2C
    {"ADD A,R5", OPD_NONE, ""}, // 2D
    {"ADD A,R6", OPD_NONE, ""}, // 2E
    {"ADD A,R7", OPD_NONE, ""}, // 2F
    // 30-3F: JNB ACALL RETI RLC ADDC
    {"JNB ", OPD_BYTE_REL, ""}, // 30
    {"ACALL ", OPD_ADDR11, ""}, // 31
    {"RETI ", OPD_NONE, ""}, // 32
    {"RLC A ", OPD_NONE, ""}, // 33
    {"ADDC A,#", OPD_BYTE, ""}, // 34
    {"ADDC A,", OPD_BYTE, ""}, // 35
    {"ADDC A,@R0", OPD_NONE, ""}, // 36
    {"ADDC A,@R1", OPD_NONE, ""}, // 37
    {"ADDC A,R0", OPD_NONE, ""}, // 38
    {"ADDC A,R1", OPD_NONE, ""}, // 39
    {"ADDC A,R2", OPD_NONE, ""}, // 3A
    {"ADDC A,R3", OPD_NONE, ""}, // 3B
    {"ADDC A,R4", OPD_NONE, ""}, // 3C
    {"ADDC A,R5", OPD_NONE, ""}, // 3D
    {"ADDC A,R6", OPD_NONE, ""}, // 3E
    {"ADDC A,R7", OPD_NONE, ""}, // 3F
    // 40-4F: JC AJMP ORL
    {"JC ", OPD_REL, ""}, // 40
    {"AJMP ", OPD_ADDR11, ""}, // 41
    {"ORL ", OPD_BYTE, ",A"}, // 42
    {"ORL ", OPD_DIRECT_DATA, ""}, // 43
    {"ORL A,#", OPD_BYTE, ""}, // 44
    {"ORL A,", OPD_BYTE, ""}, // 45
    {"ORL A,@R0", OPD_NONE, ""}, // 46
    {"ORL A,@R1", OPD_NONE, ""}, // 47
    {"ORL A,R0", OPD_NONE, ""}, // 48
    {"ORL A,R1", OPD_NONE, ""}, // 49
    {"ORL A,R2", OPD_NONE, ""}, // 4A
    {"ORL A,R3", OPD_NONE, ""}, // 4B
    {"ORL A,R4", OPD_NONE, ""}, // 4C
    {"ORL A,R5", OPD_NONE, ""}, // 4D
    {"ORL A,R6", OPD_NONE, ""}, // 4E
    {"ORL A,R7", OPD_NONE, ""}, // 4F
    // 50-5F: JNC ACALL ANL
    {"JNC ", OPD_REL, ""}, // 50
    {"ACALL ", OPD_ADDR11, ""}, // 51
    {"ANL ", OPD_BYTE, ",A"}, // 52
    {"ANL ", OPD_DIRECT_DATA, ""}, // 53
    {"ANL A,#", OPD_BYTE, ""}, // 54
    {"ANL A,", OPD_BYTE, ""}, // 55
    {"ANL A,@R0", OPD_NONE, ""}, // 56
    {"ANL A,@R1", OPD_NONE, ""}, // 57
    {"ANL A,R0", OPD_NONE, ""}, // 58
    {"ANL A,R1", OPD_NONE, ""}, // 59
    {"ANL A,R2", OPD_NONE, ""}, // 5A
    {"ANL A,R3", OPD_NONE, ""}, // 5B
    {"ANL A,R4", OPD_NONE, ""}, // 5C
    {"ANL A,R5", OPD_NONE, ""}, // 5D
    {"ANL A,R6", OPD_NONE, ""}, // 5E
    {"ANL A,R7", OPD_NONE, ""}, // 5F
    // 60-6F: JZ AJMP XRL
    {"JZ ", OPD_REL, ""}, // 60
    {"AJMP ", OPD_ADDR11, ""}, // 61
    {"XRL ", OPD_BYTE, ",A"}, // 62
    {"XRL ", OPD_DIRECT_DATA, ""}, // 63
    {"XRL A,#", OPD_BYTE, ""}, // 64
    {"XRL A,", OPD_BYTE, ""}, // 65
    {"XRL A,@R0", OPD_NONE, ""}, // 66
    {"XRL A,@R1", OPD_NONE, ""}, // 67
    {"XRL A,R0", OPD_NONE, ""}, // 68
    {"XRL A,R1", OPD_NONE, ""}, // 69
    {"XRL A,R2", OPD_NONE, ""}, // 6A
    {"XRL A,R3", OPD_NONE, ""}, // 6B
    {"XRL A,R4", OPD_NONE, ""}, // 6C
    {"XRL A,R5", OPD_NONE, ""}, // 6D
    {"XRL A,R6", OPD_NONE, ""}, // 6E
    {"XRL A,R7", OPD_NONE, ""}, // 6F
    // 70-7F: JNZ ACALL ORL C JMP MOV #data
    {"JNZ ", OPD_REL, ""}, // 70
    {"ACALL ", OPD_ADDR11, ""}, // 71
    {"ORL C,", OPD_BYTE, ""}, // 72
    {"JMP @A+DPTR", OPD_NONE, ""}, // 73
    {"MOV A,#", OPD_BYTE, ""}, // 74
    {"MOV ", OPD_DIRECT_DATA, ""}, // 75
    {"MOV @R0,#", OPD_BYTE, ""}, // 76
    {"MOV @R1,#", OPD_BYTE, ""}, // 77
    {"MOV R0,#", OPD_BYTE, ""}, // 78
    {"MOV R1,#", OPD_BYTE, ""}, // 79
    {"MOV R2,#", OPD_BYTE, ""}, // 7A
    {"MOV R3,#", OPD_BYTE, ""}, // 7B
    {"MOV R4,#", OPD_BYTE, ""}, // 7C
    {"MOV R5,#", OPD_BYTE, ""}, // 7D
    {"MOV R6,#", OPD_BYTE, ""}, // 7E
    {"MOV R7,#", OPD_BYTE, ""}, // 7F
    // 80-8F: SJMP AJMP ANL C MOVC DIV MOV direct
    {"SJMP ", OPD_REL, ""}, // 80
    {"AJMP ", OPD_ADDR11, ""}, // 81
    {"ANL C,", OPD_BYTE, ""}, // 82
    {"MOVC A,@A+PC", OPD_NONE, ""}, // 83
    {"DIV AB", OPD_NONE, ""}, // 84
    {"MOV ", OPD_DIRECT_DIRECT, ""}, // 85
    {"MOV ", OPD_BYTE, ",@R0"}, // 86
    {"MOV ", OPD_BYTE, ",@R1"}, // 87
    {"MOV ", OPD_BYTE, ",R0"}, // 88
    {"MOV ", OPD_BYTE, ",R1"}, // 89
    {"MOV ", OPD_BYTE, ",R2"}, // 8A
    {"MOV ", OPD_BYTE, ",R3"}, // 8B
    {"MOV ", OPD_BYTE, ",R4"}, // 8C
    {"MOV  ", OPD_BYTE, ",R5"}, // 8D
    {"MOV ", OPD_BYTE, ",R6"}, // 8E
    {"MOV ", OPD_BYTE, ",R7"}, // 8F
    // 90-9F: MOV DPTR ACALL MOV bit MOVC SUBB
    {"MOV DPTR,#", OPD_ADDR16, ""}, // 90
    {"ACALL ", OPD_ADDR11, ""}, // 91
    {"MOV ", OPD_BYTE, ",C"}, // 92
    {"MOVC A,@A+DPTR", OPD_NONE, ""}, // 93
    {"SUBB A,#", OPD_BYTE, ""}, // 94
    {"SUBB A,", OPD_BYTE, ""}, // 95
    {"SUBB A,@R0", OPD_NONE, ""}, // 96
    {"SUBB A,@R1", OPD_NONE, ""}, // 97
    {"SUBB A,R0", OPD_NONE, ""}, // 98
    {"SUBB A ,R1", OPD_NONE, ""}, // 99
    {"SUBB A,R2", OPD_NONE, ""}, // 9A
    {"SUBB A,R3", OPD_NONE, ""}, // 9B
    {"SUBB A,R4", OPD_NONE, ""}, // 9C
    {"SUBB A,R5", OPD_NONE, ""}, // 9D
    {"SUBB A,R6", OPD_NONE, ""}, // 9E
    {"SUBB A,R7", OPD_NONE, ""}, // 9F
    // A0-AF: ORL C,/ AJMP MOV C INC DPTR MUL MOV Rn,direct
    {"ORL C,/", OPD_BYTE, ""}, // A0
    {"AJMP ", OPD_ADDR11, ""}, // A1
    {"MOV C,", OPD_BYTE, ""}, // A2
    {"INC DPTR", OPD_NONE, ""}, // A3
    {"MUL AB", OPD_NONE, ""}, // A4
    {"A NONSENCE INSTRUCTION", OPD_NONE, ""}, // A5
    {"MOV @R0,", OPD_BYTE, ""}, // A6
    {"MOV @R1,", OPD_BYTE, ""}, // A7
    {"MOV R0,", OPD_BYTE, ""}, // A8
    {"MOV R1,", OPD_BYTE, ""}, // A9
    {"MOV R2,", OPD_BYTE, ""}, // AA
    {"MOV R3,", OPD_BYTE, ""}, // AB
    {"MOV R4,", OPD_BYTE, ""}, // AC
    {"MOV R5,", OPD_BYTE, ""}, // AD
    {"MOV R6,", OPD_BYTE, ""}, // AE
    {"MOV R7,", OPD_BYTE, ""}, // AF
    // B0-BF: ANL C,/ ACALL CPL CJNE
    {"ANL C,/", OPD_BYTE, ""}, // B0
    {"ACALL ", OPD_ADDR11, ""}, // B1
    {"CPL ", OPD_BYTE, ""}, // B2
    {"CPL C", OPD_NONE, ""}, // B3
    {"CJNE A,#", OPD_BYTE_REL, ""}, // B4
    {"CJNE A,", OPD_BYTE_REL, ""}, // B5
    {"CJNE @R0,#", OPD_BYTE_REL, ""}, // B6
    {"CJNE @R1,#", OPD_BYTE_REL, ""}, // B7
    {"CJNE R0,#", OPD_BYTE_REL, ""}, // B8
    {"CJNE R1,#", OPD_BYTE_REL, ""}, // B9
    {"CJNE R2,#", OPD_BYTE_REL, ""}, // BA
    {"CJNE R3,#", OPD_BYTE_REL, ""}, // BB
    {"CJNE R4,#", OPD_BYTE_REL, ""}, // BC
    {"CJNE R5,#", OPD_BYTE_REL, ""}, // BD
    {"CJNE R6,#", OPD_BYTE_REL, ""}, // BE
    {"CJNE R7,#", OPD_BYTE_REL, ""}, // BF
    // C0-CF: PUSH AJMP CLR SWAP XCH
    {"PUSH ", OPD_BYTE, ""}, // C0
    {"AJMP ", OPD_ADDR11, ""}, // C1
    {"CLR ", OPD_BYTE, ""}, // C2
    {"CLR C", OPD_NONE, ""}, // C3
    {"SWAP A", OPD_NONE, ""}, // C4
    {"XCH A,", OPD_BYTE, ""}, // C5
    {"XCH A,@R0", OPD_NONE, ""}, // C6
    {"XCH A,@R1", OPD_NONE, ""}, // C7
    {"XCH A,R0", OPD_NONE, ""}, // C8
    {"XCH A,R1", OPD_NONE, ""}, // C9
    {"XCH A,R2", OPD_NONE, ""}, // CA
    {"XCH A,R3", OPD_NONE, ""}, // CB
    {"XCH A,R4", OPD_NONE, ""}, // CC
    {"XCH A,R5", OPD_NONE, ""}, // CD
    {"XCH A,R6", OPD_NONE, ""}, // CE
    {"XCH A,R7", OPD_NONE, ""}, // CF
    // D0-DF: POP ACALL SETB DA DJNZ XCHD
    {"POP ", OPD_BYTE, ""}, // D0
    {"ACALL ", OPD_ADDR11, ""}, // D1
    {"SETB ", OPD_BYTE, ""}, // D2
    {"SETB C", OPD_NONE, ""}, // D3
    {"DA A", OPD_NONE, ""}, // D4
    {"DJNZ ", OPD_BYTE_REL, ""}, // D5
    {"XCHD A,@R0", OPD_NONE, ""}, // D6
    {"XCHD A,@R1", OPD_NONE, ""}, // D7
    {"DJNZ R0,", OPD_REL, ""}, // D8
    {"DJNZ R1,", OPD_REL, ""}, // D9
    {"DJNZ R2,", OPD_REL, ""}, // DA
    {"DJNZ R3,", OPD_REL, ""}, // DB
    {"DJNZ R4,", OPD_REL, ""}, // DC
    {"DJNZ R5,", OPD_REL, ""}, // DD
    {"DJNZ R6,", OPD_REL, ""}, // DE
    {"DJNZ R7,", OPD_REL, ""}, // DF
    // E0-EF: MOVX AJMP CLR A MOV A
    {"MOVX A,@DPTR", OPD_NONE, ""}, // E0
    {"AJMP ", OPD_ADDR11, ""}, // E1
    {"MOVX A,@R0", OPD_NONE, ""}, // E2
    {"MOVX A,@R1", OPD_NONE, ""}, // E3
    {"CLR A", OPD_NONE, ""}, // E4
    {"MOV A,", OPD_BYTE, ""}, // E5
    {"MOV A,@R0", OPD_NONE, ""}, // E6
    {"MOV A,@R1", OPD_NONE, ""}, // E7
    {"MOV A,R0", OPD_NONE, ""}, // E8
    {"MOV A,R1", OPD_NONE, ""}, // E9
    {"MOV A,R2", OPD_NONE, ""}, // EA
    {"MOV A,R3", OPD_NONE, ""}, // EB
    {"MOV A,R4", OPD_NONE, ""}, // EC
    {"MOV A,R5", OPD_NONE, ""}, // ED
    {"MOV A,R6", OPD_NONE, ""}, // EE
    {"MOV A,R7", OPD_NONE, ""}, // EF
    // F0-FF: MOVX ACALL CPL A MOV ,A
    {"MOVX @DPTR,A", OPD_NONE, ""}, // F0
    {"ACALL ", OPD_ADDR11, ""}, // F1
    {"MOVX @R0,A", OPD_NONE, ""}, // F2
    {"MOVX @R1,A", OPD_NONE, ""}, // F3
    {"CPL A", OPD_NONE, ""}, // F4
    {"MOV ", OPD_BYTE, ",A"}, // F5
    {"MOV @R0,A", OPD_NONE, ""}, // F6
    {"MOV @R1,A", OPD_NONE, ""}, // F7
    {"MOV R0,A", OPD_NONE, ""}, // F8
    {"MOV R1,A", OPD_NONE, ""}, // F9
    {"MOV R2,A", OPD_NONE, ""}, // FA
    {"MOV R3,A", OPD_NONE, ""}, // FB
    {"MOV R4,A", OPD_NONE, ""}, // FC
    {"MOV R5,A", OPD_NONE, ""}, // FD
    {"MOV R6,A", OPD_NONE, ""}, // FE
    {"MOV R7,A", OPD_NONE, ""}, // FF
};

const OPCODEINFO& GetOpcodeInfo(unsigned char opcode)
{
    return g_opcodeTable[opcode];
}

int GetOpcodeLength(unsigned char opcode)
{
    return g_operandLength[g_opcodeTable[opcode].operands];
}
