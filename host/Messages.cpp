#include "Messages.h"

std::string MessageForCode(int code) {
    switch (code) {
        case -1:
            return "Falavoz não inicializado";
        case -2:
            return "Falavoz já está em uso";
        case -3:
            return "Comando Inválido";
        case -4:
            return "Arquivo não encontrado";
        case -5:
            return "Erro ao abrir arquivo";
        case -6:
            return "Erro ao gravar arquivo";
        case -7:
            return "Erro ao inicializar o Falavoz";
        case -8:
            return "Erro de alocação de memória";
        case -9:
            return "Placa de som já está sendo usada por outro programa";
        case -10:
            return "Erro ao abrir saída de áudio";
        case -11:
            return "Erro ao escrever na saída de áudio";
        case -12:
            return "16 KHZ, 16 bits não suportados pela placa de som";
        case -13:
            return "Placa de som não instalada";
        case -14:
            return "Erro na saída de áudio";
        case -15:
            return "Erro de alocação de memória";
        case -16:
            return "Valor inválido";
        case -18:
            return "Erro no sintetizador de voz";
        case -21:
            return "Palavra não encontrada";
        case -22:
            return "Dicionário Lotado";
        case -23:
            return "Palavra já existe no dicionário";
        default:
            return {};
    }
}
