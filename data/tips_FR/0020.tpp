Scanner et appareil photo numérique
Dans le menu scanner / appareil photo numérique, choisissez d’abord le pilote de votre appareil.
Lancez ensuite l’acquisition : l’image arrive directement dans le diaporama ouvert.
