#pragma once

// Identifiers of the window's dialog, its controls, its menu and its pictures; each control's
// comment is its name in the code.

#define IDD_FRMVELMORA 100                  // FrmVelmora
#define IDC_IMAGE 1001                      // Image
#define IDC_FRAMEINPRESSORAS 1002           // FrameInpressoras
#define IDC_CBIMPRESSORAS 1003              // CbImpressoras
#define IDC_TXTARQUIVOS 1004                // TxtArquivos
#define IDC_CHKGERARBACKUP 1005             // ChkGerarbackUp
#define IDC_CHKPARALELA 1006                // chkParalela
#define IDC_TXTPORTA 1007                   // txtPorta
#define IDC_TXTTEMPO 1008                   // txtTempo
#define IDC_FRAMEARQUIVOSSELECIONADOS 1009  // FrameArquivosSelecionados
#define IDC_FRAMEBACKUP 1010                // FrameBackup
#define IDC_PICTICONEBANDEJA 1011           // PictIconeBandeja
#define IDC_LABEL1 1012                     // Label1
#define IDC_TXTLOG 1013                     // txtLog
#define IDC_LABEL 1014                      // Label
#define IDC_CMDCONFIRMAR 1015               // CmdConfirmar

#define IDM_MNU_ICONEBANDEJA 200             // mnu_IconeBandeja
#define IDM_MNU_ICONEBANDEJA_CONFIGURAR 201  // mnu_IconeBandeja_Configurar
#define IDM_MNU_ICONEBANDEJA_SAIR 202        // mnu_IconeBandeja_Sair
