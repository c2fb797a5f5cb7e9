Le diaporama sur CD-ROM
Lumerix prépare un dossier contenant le Slideshow-Player, que vous gravez sur un CD de données. Dès que le disque est inséré, le diaporama peut démarrer tout seul.
Cochez tous les diaporamas à mettre sur le CD – il peut y en avoir plusieurs.
