#include "command_prompts.h"

#include <map>

#include "workbench/core/command_ids.h"

const char* CommandPrompt(int id)
{
    static const std::map<int, const char*> prompts = {
        {ID_FILE_NEW, "Crée un nouveau document image"},
        {ID_OPEN, "Ouvre une image TIFF ou JPEG dans un nouveau document"},
        {ID_FILE_OPEN, "Ouvre une image TIFF ou JPEG dans un nouveau document"},
        {ID_SAVE, "Enregistre l'image active dans son fichier"},
        {ID_FILE_SAVE, "Enregistre l'image active dans son fichier"},
        {ID_SAVE_AS, "Enregistre l'image active sous un autre nom, en TIFF ou en JPEG"},
        {ID_FILE_CLOSE, "Ferme l'image active"},
        {ID_FILE_PRINT, "Imprime l'image active"},
        {ID_FILE_PRINT_PREVIEW, "Montre l'image active telle qu'elle sera imprimée"},
        {ID_FILE_PRINT_SETUP, "Choisit l'imprimante et la mise en page"},
        {ID_FILE_MRU_FILE1, "Ouvre ce fichier récent"},
        {ID_FILE_MRU_FILE1 + 1, "Ouvre ce fichier récent"},
        {ID_FILE_MRU_FILE1 + 2, "Ouvre ce fichier récent"},
        {ID_FILE_MRU_FILE1 + 3, "Ouvre ce fichier récent"},
        {ID_APP_EXIT, "Quitte le logiciel après avoir proposé d'enregistrer les images modifiées"},

        {ID_EDIT_COPY, "Copie l'image active dans le presse-papier"},
        {ID_EDIT_PASTE, "Remplace l'image active par la dernière image copiée"},
        {ID_PASTE_CLIPBOARD, "Remplace l'image active par l'image du presse-papier"},
        {ID_EDIT_UNDO, "Annule la dernière action"},
        {ID_EDIT_CUT, "Coupe la sélection"},

        {ID_LIVE_ACQUISITION, "Acquiert en continu dans l'image active depuis la source choisie"},
        {ID_FROZEN_ACQUISITION, "Arrête l'acquisition permanente sur la dernière image"},
        {ID_SOURCE_NONE, "Travaille sans source d'acquisition"},
        {ID_SOURCE_TWAIN, "Acquiert par une source TWAIN (scanner, appareil photo)"},
        {ID_SOURCE_VFW, "Acquiert par la fenêtre de capture vidéo (webcam)"},
        {ID_SOURCE_DIRECTSHOW, "Acquiert par un périphérique DirectShow (webcam, carte vidéo)"},
        {ID_SOURCE_ZEPHON2, "Acquiert par la carte Zephon II de Dravik"},
        {ID_SOURCE_TALVO, "Acquiert par la carte Talvo de Dravik"},
        {ID_SOURCE_IEEE1394, "Acquiert par une caméra IEEE 1394 (Firewire)"},
        {ID_SOURCE_USB_LARGE, "Acquiert par une caméra Kandris kdLyra A1C ou G en 1280 x 1024"},
        {ID_SOURCE_USB_SMALL, "Acquiert par une caméra Kandris kdLyra A2C ou G en 640 x 480"},
        {ID_DEFAULT_SIZE, "Choisit la taille des nouvelles images parmi celles de la source"},
        {ID_CAMERA_SETTINGS, "Règle les paramètres de la caméra de la source choisie"},

        {ID_FALSE_COLOURS, "Montre l'image acquise en direct en fausses couleurs"},
        {ID_REAL_TIME_VIEW,
         "Montre en direct la différence entre l'image acquise et une référence"},
        {ID_TIME_AVERAGED, "Montre en direct une image moyennée sur plusieurs pas du piézo"},
        {ID_VIEW_3D, "Montre l'image active en trois dimensions"},
        {ID_GAUSS_FIT, "Ajuste une gaussienne sur les profils tracés"},
        {ID_MOUSE_COORDS, "Ouvre ou ferme la fenêtre des coordonnées de la souris"},
        {ID_VIEW_TOOLBAR, "Affiche ou masque la barre d'outils"},
        {ID_VIEW_STATUS_BAR, "Affiche ou masque la barre d'état"},

        {ID_FRINGE_PATTERNS, "Génère quatre mires sinusoïdales déphasées d'un quart de frange"},
        {ID_PHASE_ACQUISITION, "Acquiert quatre images déphasées et en calcule l'image phasée"},
        {ID_PHASE_COMPUTE, "Calcule l'image phasée de quatre images ouvertes"},
        {ID_DEMODULATE, "Démodule une image phasée"},
        {ID_C832_MOVE, "Déplace manuellement la platine de la carte C-832"},
        {ID_C832_OVERTRAVEL, "Sort la platine de la carte C-832 d'une surcourse"},
        {ID_PIEZO_SUPPLY, "Pilote le translateur piézo-électrique sur port série"},
        {ID_STEPPER, "Pilote le moteur pas à pas par le port imprimante"},

        {ID_BRIGHTNESS, "Ajuste la luminance et le gamma de l'image active"},
        {ID_RGB_TO_GREY, "Convertit l'image couleur active en niveaux de gris"},
        {ID_GREY_TO_RGB, "Convertit l'image en niveaux de gris active en image couleur"},
        {ID_NEGATIVE, "Inverse les niveaux de l'image active"},
        {ID_MASK, "Crée une image masque à partir de zones de l'image active"},
        {ID_CALIBRATE, "Etalonne l'image active en millimètres"},
        {ID_FILTER, "Filtre l'image active par convolution"},
        {ID_RESIZE, "Change la taille de l'image active"},
        {ID_EXTRACT, "Extrait une zone de l'image active dans une nouvelle image"},
        {ID_FFT, "Calcule la FFT complexe de l'image active"},
        {ID_FFT_INVERSE, "Calcule la FFT inverse de l'image FFT complexe active"},
        {ID_FFT_PHASE, "Calcule la phase de l'image FFT complexe active"},
        {ID_FFT_MODULUS, "Calcule le module de l'image FFT complexe active"},
        {ID_MATH_LOGIC, "Combine deux images par une opération mathématique ou logique"},
        {ID_MULTIPLY, "Multiplie la luminance de l'image active par une constante"},
        {ID_EXPORT_EXCEL, "Exporte les profils tracés vers un classeur Excel"},

        {ID_WINDOW_CASCADE, "Dispose les fenêtres en cascade"},
        {ID_WINDOW_TILE, "Dispose les fenêtres en mosaïque"},

        {ID_VIEW_LIVE_ACQUISITION, "Acquiert en continu dans cette image depuis la source choisie"},
        {ID_VIEW_FROZEN_ACQUISITION, "Arrête l'acquisition permanente sur la dernière image"},
        {ID_RESET_MOUSE_COORDS, "Revient aux coordonnées absolues de la souris"},
        {ID_CLEAR_PROFILES, "Efface les profils tracés sur l'image"},

        {ID_HELP_INDEX, "Ouvre l'aide : les menus et leurs commandes"},
        {ID_CONTEXT_HELP, "Affiche l'aide de la prochaine commande cliquée"},
        {ID_HELP, "Affiche l'aide"},
        {ID_DEFAULT_HELP, "Affiche l'aide"},
        {ID_ONLINE_HELP, "Ouvre la page du logiciel en ligne : aide et dernière version"},
        {ID_APP_ABOUT, "Affiche la version du logiciel et l'historique de ses modifications"},
    };
    auto found = prompts.find(id);
    return found == prompts.end() ? nullptr : found->second;
}
