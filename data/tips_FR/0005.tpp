Quand votre travail est-il enregistré ?
Les légendes et un nouvel ordre sont enregistrés dès que vous ajoutez ou retirez une image, ou lorsque vous créez un diaporama à l’étape 4.
Avant de quitter, créez donc une fois le diaporama, par exemple pour ce PC.
