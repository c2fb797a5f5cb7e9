Retouche complète
Un clic sur l’aperçu ouvre la grande fenêtre de retouche : recadrage, netteté, flou et plus de 50 filtres d’effets comme « Mosaic », « Fisheye » ou « Emboss ».
Pour recadrer, tracez un cadre avec la souris puis cliquez sur le bouton de recadrage.
