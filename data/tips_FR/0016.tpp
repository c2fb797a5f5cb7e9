Le diaporama à la télévision
La sortie pour lecteur DVD produit une vidéo pour VCD ou SVCD, en PAL ou en NTSC, avec des effets de transition si vous le souhaitez.
La musique est automatiquement coupée à la durée du diaporama. Les instructions de gravure se trouvent dans l’aide.
